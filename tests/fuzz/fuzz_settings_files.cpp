// The two files the tool reads that a user may have edited by hand, fed the same arbitrary bytes:
// a settings file (.osf) and ConnSettings.dat.
//
// Settings file: the reader must not crash, must give nineteen lines within their limits, must
// need no more of a file than the dialog reads, and what it reads must survive being saved and
// opened again.
// Opened over a downloaded board (the first bytes as its block) and uploaded, as the window and
// orvanta-ofw do: the board's identity and the bytes the tool does not interpret go back as they
// came, and every list and choice uploaded is what the next download shows; a file orvanta-ofw
// upload finds well formed leaves no setting unchosen, over any board.
// ConnSettings.dat: the token never grows past its limit and an accepted address is always above
// zero, whether read from the file or typed into the address box and saved.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>

#include "app/ConnectionSettings.h"
#include "settings/SettingsFile.h"
#include "settings/ShownSettings.h"
#include "settings/Validation.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

bool IsTrailingBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void CheckLines(std::string_view bytes) {
  for (const std::string& line : ReadSettingsFileLines(bytes)) {
    Check(line.size() <= kSettingsFileLineMax, "a line longer than one read");
    Check(line.find('\n') == std::string::npos, "a line break inside a line");
    Check(line.find('\0') == std::string::npos, "a NUL inside a line");
    Check(line.empty() || !IsTrailingBlank(line.back()), "trailing white space kept");
  }
}

auto FileFields(const DialogSettings& s) {
  return std::tie(s.operationMode, s.firingModeSel, s.rofSel, s.debounceText, s.dwellText,
                  s.aeDelayText, s.kovalMode, s.eyeTimingMode, s.timerInitSel, s.timerMinutesText,
                  s.timerSecondsText, s.timerMode, s.sectionSel, s.aeBypassROFSel, s.lcdMenuMask);
}

// Lines longer than one read (a key found inside a long line, then written in front of its value)
// are split when read again, so only files whose lines all fit are compared.
bool AllLinesFit(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos;
       start = end + 1, end = text.find('\n', start)) {
    if (end + 1 - start > kSettingsFileLineMax + 1) return false;  // + 1 for the CR
  }
  return true;
}

void CheckSavedAgain(const SettingsFileContents& contents) {
  DialogSettings settings = contents.settings;
  settings.bypassEyeChecked = settings.aeDelayMode == kAEDelayModeBypass;
  const std::string saved = WriteSettingsFile(settings);
  std::size_t lineBreaks = 0;
  for (std::size_t at = saved.find("\r\n"); at != std::string::npos;
       at = saved.find("\r\n", at + 2)) {
    ++lineBreaks;
  }
  Check(lineBreaks == kSettingsFileLineCount, "a saved file without nineteen lines");
  if (!AllLinesFit(saved)) return;
  const SettingsFileContents reread = ReadSettingsFile(saved);
  Check(FileFields(reread.settings) == FileFields(contents.settings), "a saved value changed");
  Check((reread.settings.aeDelayMode == kAEDelayModeBypass) ==
            (contents.settings.aeDelayMode == kAEDelayModeBypass),
        "the after-eye choice changed");
}

auto ListsAndChoices(const DialogSettings& s) {
  return std::tie(s.operationMode, s.kovalMode, s.eyeTimingMode, s.timerMode, s.firingModeSel,
                  s.rofSel, s.aeBypassROFSel, s.timerInitSel);
}

void CheckUploadOverBoard(std::string_view bytes, const SettingsFileContents& contents) {
  uint8_t board[kSettingsArraySize] = {};
  for (std::size_t i = 0; i < kBlockLastElement && i < bytes.size(); ++i) {
    board[i + 1] = static_cast<uint8_t>(bytes[i]);
  }
  DialogSettings shown = ShownAfterDownload(board);
  ApplySettingsFileTo(shown, contents);
  Check(!FirstIncompleteItem(shown) || !SettingsFileFault(bytes).empty(),
        "a file orvanta-ofw upload takes left a setting unchosen");
  if (FirstIncompleteItem(shown)) return;
  uint8_t uploaded[kSettingsArraySize];
  std::copy(std::begin(board), std::end(board), std::begin(uploaded));
  BlockFromShown(shown, uploaded);
  for (const SettingsElementInfo& info : kSettingsElements) {
    const bool same = uploaded[info.element] == board[info.element];
    if (info.owner == ElementOwner::Board || info.owner == ElementOwner::Carried) {
      Check(same, "a byte the user cannot change was changed");
    }
    if (info.owner == ElementOwner::Fixed) {
      Check(uploaded[info.element] == kFixedElementValue, "a fixed byte not 0xFF");
    }
  }
  Check(uploaded[0] == 0 && uploaded[kSettingsArraySize - 1] == 0, "outside the block written");
  const DialogSettings next = ShownAfterDownload(uploaded);
  Check(ListsAndChoices(next) == ListsAndChoices(shown), "an upload the next download undoes");
  if (SectionsEditable(shown.boardType)) {
    Check(next.sectionSel == shown.sectionSel, "a section the next download undoes");
  }
}

void CheckSettingsFile(std::string_view bytes) {
  CheckLines(bytes);

  const SettingsFileContents contents = ReadSettingsFile(bytes);
  const DialogSettings& s = contents.settings;
  for (const std::string* text :
       {&s.debounceText, &s.dwellText, &s.aeDelayText, &s.timerMinutesText, &s.timerSecondsText}) {
    Check(text->size() <= kSettingsFileLineMax, "a text longer than its line");
  }
  Check(s.timerMinutesText.size() != 1 && s.timerSecondsText.size() != 1,
        "a one-character timer text not padded");
  Check(!contents.keepsAEDelayText || s.aeDelayMode == kAEDelayModeBypass,
        "no after-eye line, yet a choice other than Bypass Eye");
  Check(AEDelayControlsEnabled(contents) == (s.aeDelayMode != kAEDelayModeBypass),
        "delay controls enabled against the choice");
  (void)FirstIncompleteItem(s);

  const SettingsFileContents prefix =
      ReadSettingsFile(bytes.substr(0, std::min(bytes.size(), kSettingsFileBytesRead)));
  Check(FileFields(prefix.settings) == FileFields(s) &&
            prefix.keepsAEDelayText == contents.keepsAEDelayText,
        "the part of the file the dialog reads is not enough");

  CheckSavedAgain(contents);
  CheckUploadOverBoard(bytes, contents);
}

void CheckConnectionToken(std::string_view bytes) {
  std::istringstream file{std::string(bytes)};
  const std::string token = ReadConnectionToken(file);
  Check(token.size() <= kMaxTokenLength + 1, "a token past its limit");
  // Empty only when the word starts with a NUL, which ends its text.
  Check(token.size() > kMaxTokenLength || token.find('\0') == std::string::npos,
        "a NUL inside a token");
  const std::optional<uint32_t> address = ParseConnectionToken(token);
  Check(!address || static_cast<int32_t>(*address) > 0, "an accepted address not above zero");
  Check(!address || token.size() <= kMaxTokenLength, "an overlong token accepted");
  // The same bytes typed into the address box and saved.
  const SavedChoice saved = ChoiceToSave(kChoiceCustom, std::string(bytes));
  Check(static_cast<int32_t>(saved.address) > 0, "a saved choice with no usable address");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckSettingsFile(bytes);
  CheckConnectionToken(bytes);
  return 0;
}
