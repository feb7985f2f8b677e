// libFuzzer target: ConnSettings.dat as any bytes, read and interpreted as the tool does at start.
// The token never grows past the limit and an accepted address is always above zero. Built from
// plain sources only:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//     tests/fuzz/ConnectionTokenFuzz.cpp app/ConnectionSettings.cpp -o connection-token-fuzz
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/ConnectionSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
  const std::string token = ReadConnectionToken(file);
  if (token.empty() || token.size() > kMaxTokenLength + 1) std::abort();
  const std::optional<uint32_t> address = ParseConnectionToken(token);
  if (address && static_cast<int32_t>(*address) <= 0) std::abort();
  if (address && token.size() > kMaxTokenLength) std::abort();
  // The same bytes typed into the address box and saved.
  const SavedChoice saved = ChoiceToSave(kChoiceCustom, std::string(file.str()));
  if (saved.address == 0 || static_cast<int32_t>(saved.address) <= 0) std::abort();
  return 0;
}
