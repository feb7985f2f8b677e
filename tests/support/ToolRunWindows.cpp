#include "tests/support/ToolRun.h"

#include <windows.h>

#include "platform/WideTextWindows.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

// A run that hangs is ended after this long and fails its test.
constexpr DWORD kTimeoutMs = 120000;

// `arg` as the C runtime's command-line parser gives it back to the program: in quotes when it
// holds a blank or a quote (or is empty), a quote and the backslashes before one doubled.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// A file the child writes its output into.
HANDLE InheritableFile(const fs::path& file) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ToolRun RunOrvantaOfw(const fs::path& folder, const std::vector<std::string>& args,
                      const fs::path& stdoutTo) {
  const ScratchDirectory caught("tool-run");
  const fs::path outFile = stdoutTo.empty() ? caught.Path() / "out" : folder / stdoutTo;
  const fs::path errFile = caught.Path() / "err";
  std::wstring commandLine = Quoted(Widen(ORVANTA_OFW_PROGRAM));
  for (const std::string& arg : args) commandLine += L" " + Quoted(Widen(arg));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = InheritableFile(outFile);
  startup.hStdError = InheritableFile(errFile);
  PROCESS_INFORMATION process{};
  ToolRun run;
  if (startup.hStdOutput != INVALID_HANDLE_VALUE && startup.hStdError != INVALID_HANDLE_VALUE &&
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     folder.c_str(), &startup, &process)) {
    DWORD status = 0;
    if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, INFINITE);
    } else if (GetExitCodeProcess(process.hProcess, &status)) {
      run.status = static_cast<int>(status);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (const HANDLE file : {startup.hStdOutput, startup.hStdError}) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  run.out = fs::is_regular_file(outFile) ? ReadText(outFile) : "";
  run.err = ReadText(errFile);
  return run;
}
