// What "simulate" sets up: the board link talks to the simulated board, which keeps its memories
// in the application directory from one run of the tool to the next.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/Globals.h"
#include "app/PlatformSetup.h"
#include "board/BoardOperations.h"
#include "link/Communication.h"
#include "platform/PortIo.h"
#include "sim/SimFaults.h"
#include "tests/support/Files.h"
#include "tests/support/NoView.h"
#include "tests/support/Recorders.h"

namespace fs = std::filesystem;

namespace {

class PlatformSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobals();
    previous_ = fs::current_path();
    fs::current_path(directory_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    ResetGlobals();
  }
  ScratchDirectory scratch_{"setup"};
  const fs::path directory_ = scratch_.Path();
  fs::path previous_;
};

TEST_F(PlatformSetupTest, SimulatedBoardKeepsUploadedSettingsBetweenRuns) {
  bSimulate = 1;
  NoView view;
  {
    PlatformSetup firstRun;
    ASSERT_EQ(PullSettingsFromBoard(view), 1) << "a factory-fresh board answers";
    EXPECT_EQ(SettingsArray[20], 2);
    EXPECT_EQ(SettingsArray[21], 11);
    EXPECT_EQ(SettingsArray[22], 1);
    SettingsArray[3] = 17;  // dwell
    ASSERT_EQ(PushSettingsToBoard(view), 1);
  }
  EXPECT_TRUE(fs::exists(directory_ / "SimulatedBoard.hex"));
  for (uint8_t& element : SettingsArray) element = 0;
  {
    PlatformSetup secondRun;
    ASSERT_EQ(PullSettingsFromBoard(view), 1);
    EXPECT_EQ(SettingsArray[3], 17);
  }
}

// "simulate" with the USB cable chosen: the same simulated board behind the simulated FT232R,
// with the simfault switches, and the connection choice switching cables between runs.
TEST_F(PlatformSetupTest, TheUsbCableReachesTheSameSimulatedBoardWithItsFaults) {
  const struct {
    const char* fault;  // nullptr: none
    int usb;
    int result;
  } cases[] = {{nullptr, 1, 1}, {"simfault:absent", 1, 0}, {"simfault:flaky", 1, 0}};
  for (const auto& c : cases) {
    ResetGlobals();
    bSimulate = 1;
    if (c.fault != nullptr) {
      ASSERT_TRUE(ParseSimFault(c.fault, simFaults));
    }
    NoView view;
    PlatformSetup setup;
    bUsbCable = c.usb;
    EXPECT_EQ(PullSettingsFromBoard(view), c.result) << (c.fault ? c.fault : "no fault");
    EXPECT_EQ(ActivePortBackend().OpenFailure(), "") << "the cable itself is fine";
    if (c.result == 1) {
      SettingsArray[3] = 23;
      ASSERT_EQ(PushSettingsToBoard(view), 1);
      bUsbCable = 0;  // back to the parallel port: the same board
      SettingsArray[3] = 0;
      ASSERT_EQ(PullSettingsFromBoard(view), 1);
      EXPECT_EQ(SettingsArray[3], 23);
    }
  }
}

}  // namespace
