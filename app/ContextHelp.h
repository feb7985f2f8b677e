// The help both dialogs share: the control a context-menu request came from, and the pop-up help
// of that control, read at that moment from a topic file inside the help file in the application
// directory. No help file, no topic, a click on the background, a static text or a disabled control
// show nothing.
#pragma once

#include <QPoint>
#include <span>

class QContextMenuEvent;
class QWidget;

// One row of a dialog's control-to-topic table.
struct HelpTopic {
  int controlId;
  int topic;
};

// The control a context-menu request on `dialog` came from: the enabled, non-static control with
// an ID under the pointer (or with the focus, for the keyboard's menu key), else `dialog` itself.
QWidget* ContextMenuSource(QWidget* dialog, const QContextMenuEvent& event);

// Where the pop-up goes: the pointer, or the middle of the control for the keyboard's menu key.
QPoint ContextMenuPoint(QWidget* source, const QContextMenuEvent& event);

// Offers "What's This?" for `control` and, when chosen, shows its topic from `topicFile` (for
// example "OrvantaDialog.txt") at `point`.
void ShowContextHelp(QWidget* control, QPoint point, const char* topicFile,
                     std::span<const HelpTopic> table);

// Opens the help file in the tool's help window, asked for by the window `from`.
void OpenHelpFile(QWidget* from);

// Lets right clicks on `dialog`'s controls with a topic reach the dialog instead of the controls'
// own menus.
void RouteContextMenusToDialog(QWidget* dialog, std::span<const HelpTopic> table);
