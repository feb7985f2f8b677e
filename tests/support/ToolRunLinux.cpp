#include "tests/support/ToolRun.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/Files.h"

namespace fs = std::filesystem;

ToolRun RunOrvantaOfw(const fs::path& folder, const std::vector<std::string>& args,
                      const fs::path& stdoutTo) {
  const ScratchDirectory caught("tool-run");
  const fs::path outFile = stdoutTo.empty() ? caught.Path() / "out" : folder / stdoutTo;
  const fs::path errFile = caught.Path() / "err";
  std::vector<std::string> argv = {ORVANTA_OFW_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0 ||
        ::chdir(folder.c_str()) != 0) {
      ::_exit(127);
    }
    // Run as a board maker runs it: even as root, a folder's permissions hold (ReadOnlyFolder).
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    // A run that hangs ends by the alarm, which outlives the exec, and fails its test.
    ::alarm(120);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  ToolRun run;
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    run.status = WEXITSTATUS(status);
  }
  run.out = fs::is_regular_file(outFile) ? ReadText(outFile) : "";
  run.err = ReadText(errFile);
  return run;
}
