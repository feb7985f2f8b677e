// Opening a document or web address with the program the desktop associates with it, as a seam:
// the GUI installs the Qt implementation at start-up, tests install a recorder. The tool never
// waits for the program and never reports that none was found.
#pragma once

#include <functional>
#include <string>

#include "platform/Replaceable.h"

// `target` is a local file path or an "http://" or "https://" address.
using ShellOpenHandler = std::function<void(const std::string& target)>;

void ShellOpen(const std::string& target);

// The handler in use; the default opens nothing (there is no desktop to ask).
Replaceable<ShellOpenHandler>& ShellOpenSeam();
using ShellOpenOverride = Replaceable<ShellOpenHandler>::Override;
