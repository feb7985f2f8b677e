#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "sim/SimFaults.h"
#include "tests/support/Recorders.h"

namespace {

struct Switches {
  int32_t program;
  int32_t test;
  float delay;
  int32_t simulate = 0;
  int32_t dataFolder = 0;
};

Switches Parse(const std::vector<std::string>& arguments) {
  ResetGlobals();
  CommandLineInfo info;
  ParseCommandLine(info, arguments);
  return {bProgramInit, bTestInit, fDelayOffSet, bSimulate, bDataFolder};
}

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  Switches expected;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, SetsTheSwitches) {
  const Case& c = GetParam();
  const Switches got = Parse(c.arguments);
  EXPECT_EQ(got.program, c.expected.program);
  EXPECT_EQ(got.test, c.expected.test);
  EXPECT_FLOAT_EQ(got.delay, c.expected.delay);
  EXPECT_EQ(got.simulate, c.expected.simulate);
  EXPECT_EQ(got.dataFolder, c.expected.dataFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(
        Case{"none", {}, {0, 0, 1.0f}}, Case{"initprogramming", {"initprogramming"}, {1, 0, 1.0f}},
        Case{"slash_prefix", {"/initprogramming"}, {1, 0, 1.0f}},
        Case{"dash_prefix", {"-initprogramming"}, {1, 0, 1.0f}},
        Case{"other_case", {"InitProgramming"}, {0, 0, 1.0f}},
        Case{"trailing_digit", {"initprogramming1"}, {0, 0, 1.0f}},
        Case{"double_dash", {"--initprogramming"}, {0, 0, 1.0f}},
        Case{"pintest_and_initprogramming", {"pintest", "initprogramming"}, {1, 1, 1.0f}},
        Case{"delay_2_5", {"delaymult2.5"}, {0, 0, 2.5f}},
        Case{"delay_slash", {"/delaymult0.25"}, {0, 0, 0.25f}},
        Case{"delay_exponent", {"delaymult1e1"}, {0, 0, 10.0f}},
        Case{"delay_alone", {"delaymult"}, {0, 0, 1.0f}},
        Case{"delay_zero", {"delaymult0"}, {0, 0, 1.0f}},
        Case{"delay_negative", {"delaymult-2"}, {0, 0, 1.0f}},
        Case{"delay_letters", {"delaymultx"}, {0, 0, 1.0f}},
        Case{"delay_not_at_start", {"xdelaymult3"}, {0, 0, 1.0f}},
        Case{"delay_prefixed_word", {"mydelaymult"}, {0, 0, 1.0f}},
        Case{"last_delay_wins_bad", {"delaymult3", "delaymult0"}, {0, 0, 1.0f}},
        Case{"last_delay_wins_good", {"delaymult0", "delaymult3"}, {0, 0, 3.0f}},
        Case{"number_as_own_argument", {"delaymult", "3"}, {0, 0, 1.0f}},
        Case{"quoted_with_blank", {"delaymult 3"}, {0, 0, 3.0f}},
        Case{"infinity_is_no_number", {"delaymultinf"}, {0, 0, 1.0f}},
        Case{"nan_is_no_number", {"delaymultnan"}, {0, 0, 1.0f}},
        Case{"beyond_float_range", {"delaymult1e39"}, {0, 0, 1.0f}},
        Case{"underflows_to_zero", {"delaymult1e-50"}, {0, 0, 1.0f}},
        Case{"largest_multiplier", {"delaymult100"}, {0, 0, 100.0f}},
        Case{"above_100", {"delaymult100.5"}, {0, 0, 1.0f}},
        Case{"far_above_100", {"delaymult1e30"}, {0, 0, 1.0f}},
        Case{"above_100_then_good", {"delaymult1e30", "delaymult2"}, {0, 0, 2.0f}},
        Case{"simulate", {"simulate"}, {0, 0, 1.0f, 1}},
        Case{"simulate_dash", {"-simulate"}, {0, 0, 1.0f, 1}},
        Case{"simulate_other_case", {"Simulate"}, {0, 0, 1.0f, 0}},
        Case{"datafolder_with_simulate", {"datafolder", "simulate"}, {0, 0, 1.0f, 1, 1}},
        Case{"datafolder_slash", {"/datafolder"}, {0, 0, 1.0f, 0, 1}},
        Case{"datafolder_other_case", {"DataFolder"}, {0, 0, 1.0f, 0, 0}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(CommandLine, ParseParamGetsTheTextWithoutItsPrefixAndTheFlags) {
  struct Recording : CommandLineInfo {
    std::vector<std::string> texts;
    std::vector<bool> flags, lasts;
    void ParseParam(const char* text, bool flag, bool last) override {
      texts.push_back(text);
      flags.push_back(flag);
      lasts.push_back(last);
    }
  } info;
  ParseCommandLine(info, {"/a", "-b", "c", "//d"});
  EXPECT_EQ(info.texts, (std::vector<std::string>{"a", "b", "c", "/d"}));
  EXPECT_EQ(info.flags, (std::vector<bool>{true, true, false, true}));
  EXPECT_EQ(info.lasts, (std::vector<bool>{false, false, false, true}));
}

TEST(CommandLine, SimFaultSwitchesMatchWholeArgumentsAndReportTheRestInOneLineEach) {
  struct Case {
    std::vector<std::string> arguments;
    SimFaultPlan plan;
    int linesOnStderr;
  };
  const Case cases[] = {
      {{"simfault:absent", "-simfault:unpowered", "simfault:flaky", "simfault:stuck@3",
        "simfault:stuck@17", "simfault:dies@40", "simfault:dies@0"},
       {true, true, true, {3, 17}, 0},
       0},
      {{"simfault:stuck@0", "simfault:stuck@+3", "simfault:dies@-1", "simfault:dies@4294967296",
        "simfault:dies@2x", "simfault:Absent", "simfault:absent ", "simfault:"},
       {},
       8},
      {{"xsimfault:absent", "Simfault:absent"}, {}, 0},
  };
  for (const Case& c : cases) {
    std::ostringstream err;
    std::streambuf* previous = std::cerr.rdbuf(err.rdbuf());
    Parse(c.arguments);
    std::cerr.rdbuf(previous);
    EXPECT_EQ(simFaults, c.plan) << c.arguments.front();
    const std::string text = err.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.linesOnStderr) << text;
    if (c.linesOnStderr > 0) {
      EXPECT_EQ(text.substr(0, text.find('\n')),
                "Simulated board: ignored \"simfault:stuck@0\" (the faults are absent, unpowered, "
                "flaky, stuck@K, dies@N and nousb)");
    }
  }
  ResetGlobals();
}

// Only a multiplier above 100 is worth a word: it would stretch every wait towards an hour.
TEST(CommandLine, AMultiplierAbove100IsRefusedWithOneLineOnStandardError) {
  const std::pair<const char*, const char*> cases[] = {
      {"-delaymult1e30",
       "orvanta: ignoring \"delaymult1e30\": the multiplier may be at most 100, so the waits keep "
       "their measured length\n"},
      {"delaymult1e400",
       "orvanta: ignoring \"delaymult1e400\": the multiplier may be at most 100, so the waits keep "
       "their measured length\n"},
      {"delaymult100", ""},
      {"delaymult1e-400", ""},  // too small for a double: no number, not too large
      {"delaymultx", ""}};
  for (const auto& [argument, line] : cases) {
    ::testing::internal::CaptureStderr();
    Parse({argument});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), line) << argument;
  }
}

TEST(CommandLine, DelayValueIsReadAsSinglePrecision) {
  EXPECT_EQ(ParseDelayMultiplier("delaymult0.1"), 0.1f);
  EXPECT_EQ(ParseDelayMultiplier("delaymult+4"), 4.0f);
  EXPECT_EQ(ParseDelayMultiplier("delaymult.5x"), 0.5f);
}

TEST(CommandLine, FastProgrammingMatchesTheWholeArgument) {
  for (const auto& [argument, set] : {std::pair{"/fastprogramming", 1},
                                      {"fastprogramming1", 0},
                                      {"FastProgramming", 0},
                                      {"--fastprogramming", 0}}) {
    Parse({argument, "pintest"});
    EXPECT_EQ(bFastProgramming, set) << argument;
    EXPECT_EQ(bTestInit, 1) << argument;
  }
  ResetGlobals();
}

}  // namespace
