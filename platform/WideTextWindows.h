// UTF-8, the tool's narrow strings, as Windows' wide strings for its W functions.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring Widen(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}
