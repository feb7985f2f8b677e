#include "platform/QtShellOpen.h"
#include "platform/Controls.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void QtShellOpen(const std::string& target) {
  const QString text = QString::fromStdString(target);
  if (text.startsWith(QLatin1String("http://")) || text.startsWith(QLatin1String("https://"))) {
    QDesktopServices::openUrl(QUrl(text));
    return;
  }
  const QString path = PathToQt(target);
  if (!QFileInfo::exists(path)) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
