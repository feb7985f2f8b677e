#include "app/ContextHelp.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <filesystem>

#include "app/AppDirectory.h"
#include "app/HelpWindow.h"
#include "app/InstalledFiles.h"
#include "platform/Controls.h"
#include "platform/HelpFile.h"
#include "platform/PopupHelp.h"

namespace {

// Static texts never take the pointer: a click on one is a click on the dialog.
bool IsStatic(const QWidget* control) {
  return qobject_cast<const QLabel*>(control) != nullptr ||
         qobject_cast<const QGroupBox*>(control) != nullptr;
}

const HelpTopic* FindTopic(int controlId, std::span<const HelpTopic> table) {
  for (const HelpTopic& row : table) {
    if (row.controlId == controlId) return &row;
  }
  return nullptr;
}

}  // namespace

QWidget* ContextMenuSource(QWidget* dialog, const QContextMenuEvent& event) {
  QWidget* control = event.reason() == QContextMenuEvent::Keyboard ? dialog->focusWidget()
                                                                   : dialog->childAt(event.pos());
  // Parts of a control (a tree's viewport, say) stand for the control that carries the ID.
  while (control != nullptr && control != dialog && ControlId(control) == 0) {
    control = control->parentWidget();
  }
  if (control == nullptr || control == dialog || !dialog->isAncestorOf(control)) return dialog;
  if (!control->isEnabled() || IsStatic(control)) return dialog;
  return control;
}

QPoint ContextMenuPoint(QWidget* source, const QContextMenuEvent& event) {
  if (event.reason() == QContextMenuEvent::Keyboard) {
    return source->mapToGlobal(source->rect().center());
  }
  return event.globalPos();
}

void ShowContextHelp(QWidget* control, QPoint point, const char* topicFile,
                     std::span<const HelpTopic> table) {
  const HelpTopic* row = FindTopic(ControlId(control), table);
  if (row == nullptr) return;
  const std::optional<std::filesystem::path> helpFile = FindDocument(kHelpFile);
  if (!helpFile) return;
  const std::optional<std::string> text =
      ReadPopupTopic(helpFile->string(), std::string("/") + topicFile, row->topic);
  if (!text) return;
  if (AskWhatsThis(control, point)) ShowWhatsThis(point, QString::fromUtf8(*text), control);
}

void OpenHelpFile(QWidget* from) {
  HelpWindow::Show(from);
}

void RouteContextMenusToDialog(QWidget* dialog, std::span<const HelpTopic> table) {
  // Edit boxes offer cut and paste, and drop-down lists swallow the request.
  for (QWidget* control : dialog->findChildren<QWidget*>()) {
    if (FindTopic(ControlId(control), table) != nullptr) {
      control->setContextMenuPolicy(Qt::NoContextMenu);
    }
  }
}
