#include "platform/HelpContents.h"

#include <cctype>
#include <charconv>
#include <optional>

namespace {

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The character an entity body ("amp", "#38", "#x26") stands for; nothing for an unknown one.
std::optional<std::string> DecodeEntity(std::string_view body) {
  static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
  for (const auto& [name, text] : kNamed) {
    if (body == name) return std::string(text);
  }
  if (body.size() < 2 || body[0] != '#') return std::nullopt;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  unsigned long code = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  std::string out;
  AppendUtf8(out, code);
  return out;
}

std::string DecodeEntities(std::string_view text) {
  constexpr std::size_t kLongestEntity = 10;
  std::string out;
  while (!text.empty()) {
    const std::size_t amp = text.find('&');
    out += text.substr(0, amp);
    if (amp == std::string_view::npos) break;
    text.remove_prefix(amp);
    const std::size_t semicolon = text.find(';');
    std::optional<std::string> decoded;
    if (semicolon != std::string_view::npos && semicolon <= kLongestEntity) {
      decoded = DecodeEntity(text.substr(1, semicolon - 1));
    }
    if (decoded) {
      out += *decoded;
      text.remove_prefix(semicolon + 1);
    } else {
      out += '&';
      text.remove_prefix(1);
    }
  }
  return out;
}

// One tag: its name in lower case (with a leading '/' for an end tag) and its attributes.
struct Tag {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;

  std::string Attribute(std::string_view wanted) const {
    for (const auto& [name, value] : attributes) {
      if (EqualsNoCase(name, wanted)) return value;
    }
    return {};
  }
};

// Reads the tag whose '<' was just consumed from `text`, up to and including its '>'.
Tag ReadTag(std::string_view& text) {
  Tag tag;
  std::size_t i = 0;
  const auto skipSpace = [&] {
    while (i < text.size() && IsSpace(text[i])) ++i;
  };
  const auto readWord = [&] {
    const std::size_t from = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '=' &&
           !(text[i] == '/' && i > from)) {
      ++i;
    }
    std::string word(text.substr(from, i - from));
    for (char& c : word) c = Lower(c);
    return word;
  };
  tag.name = readWord();
  while (true) {
    skipSpace();
    if (i >= text.size() || text[i] == '>') break;
    if (text[i] == '/') {
      ++i;
      continue;
    }
    std::string name = readWord();
    if (name.empty()) {
      ++i;
      continue;
    }
    skipSpace();
    std::string value;
    if (i < text.size() && text[i] == '=') {
      ++i;
      skipSpace();
      if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        const std::size_t end = text.find(quote, i);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        value = DecodeEntities(text.substr(i, stop - i));
        i = stop == text.size() ? stop : stop + 1;
      } else {
        const std::size_t from = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '>') ++i;
        value = DecodeEntities(text.substr(from, i - from));
      }
    }
    tag.attributes.emplace_back(std::move(name), std::move(value));
  }
  text.remove_prefix(i < text.size() ? i + 1 : text.size());
  return tag;
}

// Builds the tree while the tags go by: the open lists, innermost last.
class ContentsBuilder {
 public:
  // The root stands outside every list, so that a page named before the first list is kept.
  ContentsBuilder() : lists_{&root_} {}

  void Take(const Tag& tag) {
    if (tag.name == "ul") {
      OpenList();
    } else if (tag.name == "/ul") {
      if (lists_.size() > 1) lists_.pop_back();  // a stray end tag closes nothing
    } else if (tag.name == "object" && EqualsNoCase(tag.Attribute("type"), "text/sitemap")) {
      entry_ = HelpContentsEntry{};
    } else if (tag.name == "param" && entry_) {
      const std::string name = tag.Attribute("name");
      if (EqualsNoCase(name, "Name") && entry_->name.empty()) entry_->name = tag.Attribute("value");
      if (EqualsNoCase(name, "Local") && entry_->local.empty()) {
        entry_->local = tag.Attribute("value");
      }
    } else if (tag.name == "/object" && entry_) {
      if (!entry_->name.empty() || !entry_->local.empty()) {
        lists_.back()->push_back(std::move(*entry_));
      }
      entry_.reset();
    }
  }

  std::vector<HelpContentsEntry> Take() { return std::move(root_); }

 private:
  // A list inside a list belongs to the entry before it; the outermost list is the root.
  void OpenList() {
    std::vector<HelpContentsEntry>& current = *lists_.back();
    if (lists_.size() == 1 || current.empty() ||
        static_cast<int>(lists_.size()) > kMaxHelpContentsDepth) {
      lists_.push_back(&current);
    } else {
      lists_.push_back(&current.back().children);
    }
  }

  std::vector<HelpContentsEntry> root_;
  // Only the innermost list grows, so the pointers into the entries of the outer ones hold.
  std::vector<std::vector<HelpContentsEntry>*> lists_;
  std::optional<HelpContentsEntry> entry_;
};

}  // namespace

std::vector<HelpContentsEntry> ParseHelpContents(std::string_view hhc) {
  ContentsBuilder builder;
  while (true) {
    const std::size_t open = hhc.find('<');
    if (open == std::string_view::npos) break;
    hhc.remove_prefix(open + 1);
    if (hhc.starts_with("!--")) {
      const std::size_t end = hhc.find("-->");
      hhc.remove_prefix(end == std::string_view::npos ? hhc.size() : end + 3);
      continue;
    }
    builder.Take(ReadTag(hhc));
  }
  return builder.Take();
}
