// Pop-up help topics from the compiled help file. A topic file inside it (OrvantaDialog.txt,
// SettingsDialog.txt) is plain text: ".topic N" on a line, the topic's text on the lines after it.
// The file is read every time a topic is wanted, so a help file the user replaces is honoured.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The object `name` (for example "/OrvantaDialog.txt") inside the help file `chmPath`; nothing
// when the file cannot be opened or does not hold it.
std::optional<std::string> ReadHelpObject(const std::string& chmPath, const std::string& name);

// The text of topic `topic` in a topic file: its lines up to the next ".topic" line, with line
// ends as "\n" and the blank lines around it dropped; nothing when the topic is absent or empty.
std::optional<std::string> FindPopupTopic(std::string_view topicFile, int topic);

// Both: topic `topic` of the topic file `name` inside `chmPath`.
std::optional<std::string> ReadPopupTopic(const std::string& chmPath, const std::string& name,
                                          int topic);
