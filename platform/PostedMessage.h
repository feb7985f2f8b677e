// The tool's own window messages (WM_USER + n) as posted Qt events: handled by the target's
// event loop after the current handler returns, as a posted window message is.
#pragma once

#include <QEvent>
#include <QObject>

constexpr int WM_USER = 0x0400;

constexpr QEvent::Type MessageEventType(int message) {
  return static_cast<QEvent::Type>(QEvent::User + (message - WM_USER));
}

// Posts `message` (WM_USER + n) to `target`.
void PostMessage(QObject* target, int message);
