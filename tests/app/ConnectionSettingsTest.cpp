// The rules of ConnSettings.dat, without windows.
#include <gtest/gtest.h>

#include <sstream>

#include "app/ConnectionSettings.h"

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
      {"80000000", std::nullopt},    // negative as a signed number
      {"FFFFFFFFF", std::nullopt},   // too many digits: the largest value, refused
      {"-FFFFFFFFF", std::nullopt},  // the same, not negated into port 1
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
      {" \n\t", " "},  // nothing read: the blank it starts with stays
      {"\t278\r\n", "278"},
      {"  3BC  second", "3BC"},
      {std::string(100000, 'A'), std::string(kMaxTokenLength + 1, 'A')},  // stops past the limit
      {std::string("3BC\0junk more", 13), "3BC"},  // a NUL ends the word's text
      {std::string("\0"
                   "3BC",
                   4),
       ""},
      {"3b\xE9\xFF", "3b\xE9\xFF"},  // bytes as they are
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
}

}  // namespace
