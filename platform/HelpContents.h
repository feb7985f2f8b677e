// The table of contents of a help file: its ".hhc" object is HTML with nested lists, each entry an
// <object type="text/sitemap"> with the parameters "Name" (the title) and "Local" (the page).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct HelpContentsEntry {
  std::string name;
  // The page inside the help file as the contents name it ("firmware.html", "a/b.htm#part");
  // empty for a heading without a page of its own.
  std::string local;
  std::vector<HelpContentsEntry> children;

  bool operator==(const HelpContentsEntry&) const = default;
};

// The entries of `hhc`, in order and nested as its lists are. Tags and parameter names in any
// case; entities in values decoded. Entries without a name or page, and anything it cannot make
// sense of, are left out; nesting deeper than kMaxHelpContentsDepth is flattened.
std::vector<HelpContentsEntry> ParseHelpContents(std::string_view hhc);

inline constexpr int kMaxHelpContentsDepth = 16;
