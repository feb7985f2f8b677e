// Per-control pop-up help as seams: the one-entry "What's This?" context menu and the pop-up that
// shows a topic at the control. The GUI installs the Qt implementations at start-up; tests answer
// the menu and record the pop-up, so that no real popup window opens.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>

#include "platform/Replaceable.h"

class QWidget;

inline constexpr const char* kWhatsThisEntry = "What's This?";

// Offers the "What's This?" entry at `globalPos` for `control`; true when the user chose it.
using WhatsThisMenuHandler = std::function<bool(QWidget* control, QPoint globalPos)>;
// Shows `text` in a pop-up at `globalPos`, for `control`.
using WhatsThisPopupHandler =
    std::function<void(QPoint globalPos, const QString& text, QWidget* control)>;

bool AskWhatsThis(QWidget* control, QPoint globalPos);
void ShowWhatsThis(QPoint globalPos, const QString& text, QWidget* control);

// The handlers in use; the defaults offer no menu (and so show no pop-up).
Replaceable<WhatsThisMenuHandler>& WhatsThisMenuSeam();
Replaceable<WhatsThisPopupHandler>& WhatsThisPopupSeam();
using WhatsThisMenuOverride = Replaceable<WhatsThisMenuHandler>::Override;
using WhatsThisPopupOverride = Replaceable<WhatsThisPopupHandler>::Override;

// The real ones: a QMenu with the one entry, and QWhatsThis.
bool QtWhatsThisMenu(QWidget* control, QPoint globalPos);
void QtWhatsThisPopup(QPoint globalPos, const QString& text, QWidget* control);
