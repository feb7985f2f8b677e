// The real shell open: QDesktopServices, which hands the file or address to xdg-open.
#pragma once

#include <string>

// A local file that does not exist is not handed on, so the desktop shows no error for it either.
void QtShellOpen(const std::string& target);
