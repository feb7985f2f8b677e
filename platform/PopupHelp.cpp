#include "platform/PopupHelp.h"

#include <QMenu>
#include <QTextDocument>
#include <QWhatsThis>

namespace {

bool NoMenu(QWidget*, QPoint) {
  return false;
}
void NoPopup(QPoint, const QString&, QWidget*) {}

}  // namespace

bool AskWhatsThis(QWidget* control, QPoint globalPos) {
  return WhatsThisMenuSeam().Get()(control, globalPos);
}

void ShowWhatsThis(QPoint globalPos, const QString& text, QWidget* control) {
  WhatsThisPopupSeam().Get()(globalPos, text, control);
}

Replaceable<WhatsThisMenuHandler>& WhatsThisMenuSeam() {
  static Replaceable<WhatsThisMenuHandler> seam{NoMenu};
  return seam;
}

Replaceable<WhatsThisPopupHandler>& WhatsThisPopupSeam() {
  static Replaceable<WhatsThisPopupHandler> seam{NoPopup};
  return seam;
}

bool QtWhatsThisMenu(QWidget* control, QPoint globalPos) {
  QMenu menu(control);
  QAction* entry = menu.addAction(QString::fromLatin1(kWhatsThisEntry));
  return menu.exec(globalPos) == entry;
}

void QtWhatsThisPopup(QPoint globalPos, const QString& text, QWidget* control) {
  // The topic is plain text; keep its line breaks and never read it as markup.
  QWhatsThis::showText(globalPos, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal), control);
}
