// Texts between the settings model and the dialog's boxes. One byte is one character (Latin-1),
// so whatever a settings file holds is shown and written back byte for byte.
#pragma once

#include <QString>
#include <string>
#include <string_view>

inline QString ToDialogText(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToModelText(const QString& text) {
  return text.toLatin1().toStdString();
}
