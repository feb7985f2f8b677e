#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "board/BoardOperations.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "platform/PlainFile.h"
#include "platform/PortIo.h"

namespace {

int CountFileLines(const std::string& path) {
  const PlainFile file = OpenPlainFile(path);
  return file ? count_lines(file.get()) : -1;
}

int ImageLines(std::string_view image) {
  return static_cast<int>(std::count(image.begin(), image.end(), '\n'));
}

// Moves the first line of `rest` into `line` (a line buffer). Without a line feed left, or for
// a line the buffer cannot hold, the line is empty and so fails to parse.
void TakeLine(std::string_view& rest, char* line) {
  line[0] = '\0';
  const std::size_t end = rest.find('\n');
  if (end == std::string_view::npos) return;
  if (end < kLineBufferSize) {
    std::memcpy(line, rest.data(), end);
    line[end] = '\0';
  }
  rest.remove_prefix(end + 1);
}

// Leaves the chip erased and in programming mode. The release and the two waits give the erase
// time to finish before the new programming enable.
void EraseForProgramming() {
  init_prog_mode();
  erase_memory();
  clear_reset();
  wait_3ms();
  wait_3ms();
  init_prog_mode();
}

// Erases the board and programs `image`, `lines` records, then the lock bits.
int ProgramImage(OperationView& view, const std::string& image, int lines) {
  view.ShowStatusText(kUploadingFirmwareText);
  Out32(ControlPort(), 0x00);
  Out32(DataPort(), 0x00);
  Out32(StatusPort(), 0x00);
  view.SetProgressRange(lines);
  view.SetProgressPos(0);
  EraseForProgramming();

  std::string_view rest = image;
  char line[kLineBufferSize];
  for (int i = 0; i < lines; ++i) {
    TakeLine(rest, line);
    view.SetProgressPos(i);
    if (parse_line(line) == kParseFailed) {
      clear_reset();
      return 0;
    }
  }
  Write_Lock_Bits();
  clear_reset();
  return 1;
}

}  // namespace

int UploadFirmware(OperationView& view, const std::string& path) {
  calculate_delay_const();
  const int lines = CountFileLines(path);
  if (lines < 0) return 0;
  // A copy, so that a retry starts from the first line again.
  const std::string image = m_FWArray;
  // A file that changed since it was checked is not what the image was made from: never erase a
  // board for it.
  if (lines == 0 || lines != ImageLines(image)) return 0;
  return ProgramImage(view, image, lines);
}

int UploadFirmwareImage(OperationView& view) {
  calculate_delay_const();
  const std::string image = m_FWArray;
  const int lines = ImageLines(image);
  return lines == 0 ? 0 : ProgramImage(view, image, lines);
}
