// The help window's table-of-contents reader on any bytes (a user may replace the help file).
// Beyond what the sanitizers catch: the tree never nests deeper than the limit, and every entry it
// keeps has a name or a page.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/HelpContents.h"

namespace {

void Check(const std::vector<HelpContentsEntry>& entries, int depth) {
  if (!entries.empty() && depth > kMaxHelpContentsDepth) std::abort();
  for (const HelpContentsEntry& entry : entries) {
    if (entry.name.empty() && entry.local.empty()) std::abort();
    Check(entry.children, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(ParseHelpContents(text), 1);
  return 0;
}
