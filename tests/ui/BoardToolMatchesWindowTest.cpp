// orvanta-ofw against the window, board for board: the file "Save Configuration" writes after a
// download is the file the command downloads, and a settings file opened and uploaded by the
// window leaves the board as the command's upload does. Both refuse the same boards and files.
#include <filesystem>
#include <sstream>

#include "sim/BoardFirmware.h"
#include "sim/SimulatedCable.h"
#include "tests/support/Files.h"
#include "tests/support/ToolRun.h"
#include "tests/ui/MainDialogFixture.h"

namespace {

namespace fs = std::filesystem;

// A board running firmware 2.11 of `boardType` with `block` in data addresses 0-29.
void KeepBoard(const fs::path& folder, const Block& block, uint8_t boardType) {
  ChangeKeptBoard(folder, [&](SimBoard& board) {
    InstallStandInImage(board, {2, 11, boardType});
    for (std::size_t i = 0; i < block.size(); ++i) {
      board.SetDataByte(static_cast<uint16_t>(i), block[i]);
    }
    StartFirmware(board);
  });
}

Block With(Block block, std::initializer_list<std::pair<int, uint8_t>> elements) {
  for (const auto& [element, value] : elements)
    block[static_cast<std::size_t>(element - 1)] = value;
  return block;
}

struct BoardCase {
  const char* name;
  Block block;
  uint8_t boardType;
  bool refused = false;  // by the completeness check
};

const BoardCase kBoards[] = {
    {"typical Orvanta board", TypicalBlock(), kBoardOrvanta},
    {"Kalix board, erased sections",
     With(TypicalBlock(), {{10, 0xFF}, {11, 0xFF}, {12, 0xFF}, {13, 0xFF}, {22, 0}}), kBoardKalix},
    {"bypassed eye, extremes",
     With(TypicalBlock(),
          {{1, 3}, {3, 255}, {4, 0}, {5, 0}, {6, 0}, {8, 9}, {9, 13}, {24, 0xFF}, {25, 0xFF}}),
     kBoardOrvanta},
    {"unknown board type", With(TypicalBlock(), {{22, 7}}), 7},
    {"rate of fire out of the list", With(TypicalBlock(), {{2, 9}}), kBoardOrvanta, true},
    {"timer start out of the list", With(TypicalBlock(), {{7, 5}}), kBoardOrvanta, true},
};

class BoardToolMatchesWindow : public MainDialogTest {
 protected:
  // The window's download; then, with `file`, its "Open Configuration" and "Upload
  // Configuration", or else its "Save Configuration" to `saved`.
  void RunWindow(const fs::path& folder, const fs::path& file, const fs::path& saved) {
    std::ostringstream report;
    SimulatedCable cable(base, folder, report);
    FileDialogScript files({file.empty() ? saved.string() : file.string()});
    dlg->ReadFromBoard();
    if (file.empty()) {
      dlg->SaveConfiguration();
    } else {
      dlg->LoadConfiguration();
      dlg->WriteToBoard();
    }
  }
  bool WindowRefused() const {
    for (const MessageBoxRequest& m : messages.messages) {
      if (m.title == "Incomplete Settings") return true;
    }
    return false;
  }

  MessageRecorder messages;
  ScratchDirectory windowDir{"window"};
  ScratchDirectory toolDir{"tool"};
};

TEST_F(BoardToolMatchesWindow, DownloadWritesTheFileTheWindowSaves) {
  for (const BoardCase& c : kBoards) {
    messages.messages.clear();
    KeepBoard(windowDir.Path(), c.block, c.boardType);
    KeepBoard(toolDir.Path(), c.block, c.boardType);
    const fs::path saved = windowDir.Path() / "window.osf";
    fs::remove(saved);
    fs::remove(toolDir.Path() / "tool.osf");
    RunWindow(windowDir.Path(), {}, saved);
    const ToolRun run = RunOrvantaOfw(
        toolDir.Path(), {"download", "tool.osf", "--simulate", toolDir.Path().string()});

    EXPECT_EQ(run.status, WindowRefused() ? 1 : 0) << c.name << run.err;
    EXPECT_EQ(WindowRefused(), c.refused) << c.name;
    EXPECT_EQ(fs::exists(saved), !WindowRefused()) << c.name;
    EXPECT_EQ(fs::exists(toolDir.Path() / "tool.osf"), fs::exists(saved)) << c.name;
    if (fs::exists(saved)) {
      EXPECT_EQ(ReadText(toolDir.Path() / "tool.osf"), ReadText(saved)) << c.name;
    }
  }
}

TEST_F(BoardToolMatchesWindow, UploadLeavesTheBoardTheWindowLeaves) {
  const std::string saved =
      "0:1\r\n1:2\r\n2:5\r\n3:7\r\n4:12\r\n5:1-6\r\n6:1\r\n7:0\r\n8:1\r\n9:10\r\n10:35\r\n11:1\r\n"
      "12:0\r\n13:1\r\n14:2\r\n15:3\r\n16:4\r\n17:6\r\n18:4660\r\n";
  const struct {
    const char* name;
    std::string file;
    uint8_t boardType;
    bool refused;
  } files[] = {
      {"a saved file", saved, kBoardOrvanta, false},
      {"the same on a Kalix board", saved, kBoardKalix, false},
      {"sections out of the list on a Kalix board",
       "0:0\n1:1\n2:2\n3:4\n4:10\n5:0-0\n6:0\n7:1\n8:2\n9:3\n10:5\n11:0\n12:0\n13:-1\n14:-1\n"
       "15:0\n16:1\n17:5\n18:65535\n",
       kBoardKalix, false},
      {"the Delay preset's choice", "0:0\n1:1\n2:2\n3:4\n4:10\n5:2-12\n6:0\n7:0\n8:0\n9:05\n",
       kBoardOrvanta, true},
      {"a short file", "0:1\r\n1:3\r\n2:4\r\n3:9\r\n", kBoardOrvanta, true},
      {"keys out of place", "x0:1 1:2\n1:2\n2:77\n3:\n", kBoardOrvanta, true},
  };
  for (const auto& c : files) {
    messages.messages.clear();
    const Block block = With(TypicalBlock(), {{22, c.boardType}});
    KeepBoard(windowDir.Path(), block, c.boardType);
    KeepBoard(toolDir.Path(), block, c.boardType);
    WriteText(windowDir.Path() / "in.osf", c.file);
    WriteText(toolDir.Path() / "in.osf", c.file);

    RunWindow(windowDir.Path(), windowDir.Path() / "in.osf", {});
    const ToolRun run =
        RunOrvantaOfw(toolDir.Path(), {"upload", "in.osf", "--simulate", toolDir.Path().string()});

    EXPECT_EQ(run.status, WindowRefused() ? 1 : 0) << c.name << run.err;
    EXPECT_EQ(WindowRefused(), c.refused) << c.name;
    EXPECT_EQ(KeptBoard(toolDir.Path()).data, KeptBoard(windowDir.Path()).data) << c.name;
  }
}

}  // namespace
