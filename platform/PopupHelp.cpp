#include "platform/PopupHelp.h"

#include <QMenu>
#include <QTextDocument>
#include <QWhatsThis>
#include <utility>

namespace {

bool NoMenu(QWidget*, QPoint) {
  return false;
}
void NoPopup(QPoint, const QString&, QWidget*) {}

WhatsThisMenuHandler& Menu() {
  static WhatsThisMenuHandler handler = NoMenu;
  return handler;
}

WhatsThisPopupHandler& Popup() {
  static WhatsThisPopupHandler handler = NoPopup;
  return handler;
}

}  // namespace

bool AskWhatsThis(QWidget* control, QPoint globalPos) {
  return Menu()(control, globalPos);
}

void ShowWhatsThis(QPoint globalPos, const QString& text, QWidget* control) {
  Popup()(globalPos, text, control);
}

WhatsThisMenuHandler SetWhatsThisMenuHandler(WhatsThisMenuHandler handler) {
  WhatsThisMenuHandler previous = std::move(Menu());
  Menu() = handler ? std::move(handler) : WhatsThisMenuHandler(NoMenu);
  return previous;
}

WhatsThisPopupHandler SetWhatsThisPopupHandler(WhatsThisPopupHandler handler) {
  WhatsThisPopupHandler previous = std::move(Popup());
  Popup() = handler ? std::move(handler) : WhatsThisPopupHandler(NoPopup);
  return previous;
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
