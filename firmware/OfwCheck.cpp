#include "firmware/OfwCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/PlainFile.h"

namespace {

char gCurrentLine[kLineBufferSize];
char gEncLine[kLineBufferSize];

// Characters from a file or from text in memory, one at a time; EOF at the end.
class CharSource {
 public:
  virtual ~CharSource() = default;
  virtual int Get() = 0;
};

class FileSource final : public CharSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  int Get() override { return std::getc(file_); }

 private:
  std::FILE* file_;
};

class TextSource final : public CharSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  int Get() override {
    if (next_ >= text_.size()) return EOF;
    return static_cast<unsigned char>(text_[next_++]);
  }

 private:
  std::string_view text_;
  std::size_t next_ = 0;
};

// The white space that separates lines, as formatted input ("%s") sees it.
bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

enum class Item { Line, TooLong, HasNul, End };

// Splits a source into white-space-separated lines as "%s" does, but never writes past the line
// buffer: a longer line is read to its end and reported.
class LineReader {
 public:
  explicit LineReader(CharSource& source) : source_(source) {}

  // The next line into `buffer` (kLineBufferSize characters, or nullptr to only count).
  Item Next(char* buffer) {
    int c = source_.Get();
    for (; IsSpace(c); c = source_.Get()) {
      if (c == '\n') ++textLine_;
    }
    if (c == EOF) return Item::End;
    itemLine_ = textLine_;
    std::size_t length = 0;
    bool nul = false;
    // Stops at the first character a line may not hold: reading on could take for ever.
    for (; c != EOF && !IsSpace(c) && length <= kMaxOfwLine; c = source_.Get(), ++length) {
      nul = nul || c == '\0';
      if (buffer != nullptr && length < kMaxOfwLine) buffer[length] = static_cast<char>(c);
    }
    if (buffer != nullptr) buffer[std::min<std::size_t>(length, kMaxOfwLine)] = '\0';
    if (length > kMaxOfwLine) return Item::TooLong;
    if (c == '\n') ++textLine_;
    return nul ? Item::HasNul : Item::Line;
  }
  // The text line (from 1) where the last line read began.
  int ItemLine() const { return itemLine_; }

 private:
  CharSource& source_;
  int textLine_ = 1;
  int itemLine_ = 0;
};

// Why the line just read into currentline cannot be a firmware line; empty when it may be.
std::string LineReason(Item item) {
  if (item == Item::TooLong) return "the line is longer than 255 characters";
  if (item == Item::HasNul) return "the line holds a NUL character";
  if (std::strlen(currentline) <= kOfwPrefix || currentline[kOfwPrefix] != kScrambledMark) {
    return "the fourth character of the line is not the record mark K";
  }
  return {};
}

OfwReport CheckLines(CharSource& source, std::string& image) {
  image.clear();
  LineReader reader(source);
  ImageCheck check;
  OfwReport report;
  int lastLine = 0;
  for (Item item = reader.Next(currentline); item != Item::End; item = reader.Next(currentline)) {
    lastLine = reader.ItemLine();
    report.reason = LineReason(item);
    HexRecord record;
    if (report.ok()) {
      Do_Magic(0);
      report.reason = DecodeRecord(encline, record);
    }
    if (report.ok()) report.reason = check.Add(record);
    if (!report.ok()) {
      report.line = lastLine;
      return report;
    }
    image += encline;
    image += '\n';
  }
  report.reason = check.Finish();
  if (!report.ok()) {
    report.line = lastLine + 1;
    return report;
  }
  report.summary = check.Summary();
  return report;
}

}  // namespace

char* currentline = gCurrentLine;
char* encline = gEncLine;

OfwReport CheckFirmwareFile(const std::string& path, std::string& image) {
  image.clear();
  OfwReport report;
  std::string why;
  const PlainFile file = OpenPlainFile(path, &why);
  if (!file) {
    report.reason = "the file cannot be opened: " + why;
    return report;
  }
  FileSource source(file.get());
  report = CheckLines(source, image);
  if (std::ferror(file.get())) {
    report = OfwReport{};
    report.reason = std::string("the file cannot be read: ") + std::strerror(errno);
  }
  return report;
}

OfwReport CheckFirmwareText(std::string_view text, std::string& image) {
  TextSource source(text);
  return CheckLines(source, image);
}

void Do_Magic(int flag) {
  encline[0] = '\0';
  if (flag != 0) return;
  const std::size_t length = strnlen(currentline, kLineBufferSize - 1);
  if (length <= kOfwPrefix) return;
  for (std::size_t i = kOfwPrefix; i < length; ++i)
    encline[i - kOfwPrefix] = Unscramble(currentline[i]);
  encline[length - kOfwPrefix] = '\0';
}

int count_lines(std::FILE* file) {
  FileSource source(file);
  LineReader reader(source);
  int lines = 0;
  for (Item item = reader.Next(nullptr); item != Item::End; item = reader.Next(nullptr)) {
    ++lines;
    // No firmware file has a line this long, and reading on could take for ever.
    if (item == Item::TooLong) break;
  }
  std::rewind(file);
  return lines;
}
