// The rules of ConnSettings.dat and the list of this computer's parallel ports, without windows.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ConnectionSettings.h"
#include "platform/ParallelPorts.h"

namespace fs = std::filesystem;

namespace {

TEST(ConnectionToken, ReadsAHexadecimalAddressAndRefusesWhatIsNotAboveZero) {
  const std::string longest = std::string(kMaxTokenLength - 3, '0') + "3BC";
  const struct {
    std::string token;
    std::optional<uint32_t> address;
  } cases[] = {
      {"378", 0x378},
      {"278", 0x278},
      {"3BC", 0x3BC},
      {"3bc", 0x3BC},
      {"0x3BC", 0x3BC},
      {"0X3bc", 0x3BC},
      {"+3BC", 0x3BC},
      {"3BCzz", 0x3BC},       // digits up to the first other character
      {"0xZ", std::nullopt},  // the 0 is the number
      {"ZZ", std::nullopt},
      {"0", std::nullopt},
      {" ", std::nullopt},
      {"", std::nullopt},
      {"7FFFFFFF", 0x7FFFFFFF},
      {"80000000", std::nullopt},   // negative as a signed number
      {"FFFFFFFFF", std::nullopt},  // too many digits: the largest value, refused
      {"-1", std::nullopt},
      {"-FFFFFC88", 0x378},  // a minus negates as unsigned arithmetic does
      {longest, 0x3BC},
      {longest + "0", std::nullopt},  // one character too long
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseConnectionToken(c.token), c.address) << '"' << c.token << '"';
  }
}

TEST(ConnectionToken, FileHoldsOneWordAtMost) {
  const struct {
    std::string file;
    std::string token;
  } cases[] = {
      {"", " "},  // nothing read: the blank it starts with stays
      {" \n\t", " "},
      {"378", "378"},
      {"\t278\r\n", "278"},
      {"  3BC  second", "3BC"},
      {std::string(100000, 'A'), std::string(kMaxTokenLength + 1, 'A')},  // stops past the limit
  };
  for (const auto& c : cases) {
    std::istringstream in(c.file);
    EXPECT_EQ(ReadConnectionToken(in), c.token) << c.file.substr(0, 20);
  }
}

TEST(ConnectionToken, SavingAChoiceWritesItsTokenAndGivesItsAddress) {
  const struct {
    int choice;
    std::string custom;
    std::string token;
    uint32_t address;
  } cases[] = {
      {kChoiceLpt1, "3BC", "378", 0x378},  // the custom text is not written for LPT1
      {kChoiceLpt2, "", "278", 0x278},
      {kChoiceCustom, "3BC", "3BC", 0x3BC},
      {kChoiceCustom, "0XD010", "0XD010", 0xD010},
      {kChoiceCustom, "", "", 0x378},
      {kChoiceCustom, "ZZ", "ZZ", 0x378},  // written as typed, used as LPT1
      {-1, "3BC", "", 0x378},              // no choice: an empty file
  };
  for (const auto& c : cases) {
    const SavedChoice saved = ChoiceToSave(c.choice, c.custom);
    EXPECT_EQ(saved.token, c.token) << c.choice << ' ' << c.custom;
    EXPECT_EQ(saved.address, c.address) << c.choice << ' ' << c.custom;
  }
  EXPECT_EQ(ChoiceForBase(0x378), kChoiceLpt1);
  EXPECT_EQ(ChoiceForBase(0x278), kChoiceLpt2);
  EXPECT_EQ(ChoiceForBase(0x3BC), kChoiceCustom);
}

class ParallelPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orvanta-parport-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Port(const std::string& name, const std::string* baseAddr) {
    fs::create_directories(dir_ / name);
    if (baseAddr != nullptr) std::ofstream(dir_ / name / "base-addr") << *baseAddr;
  }
  fs::path dir_;
};

TEST_F(ParallelPortsTest, ListsEveryPortWithABaseAddressInNumberOrder) {
  const std::string pci = "53264\t0\n", lpt1 = "888\t1912\n", junk = "none", zero = "0\t0";
  Port("parport10", &pci);
  Port("parport0", &lpt1);
  Port("parport2", nullptr);  // no base-addr file
  Port("parport3", &junk);
  Port("parport4", &zero);
  Port("parportx", &lpt1);
  Port("lp0", &lpt1);
  const std::vector<ParallelPort> ports = ListParallelPorts(dir_.string());
  EXPECT_EQ(ports, (std::vector<ParallelPort>{{0, 0x378}, {10, 0xD010}}));
  EXPECT_EQ(DescribeParallelPorts(ports),
            "Ports on this computer: 0x378 (parport0), 0xD010 (parport10)");
  EXPECT_EQ(DescribeParallelPorts({}), "No parallel port was found on this computer.");
  EXPECT_TRUE(ListParallelPorts((dir_ / "missing").string()).empty());
}

}  // namespace
