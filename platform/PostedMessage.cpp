#include "platform/PostedMessage.h"

#include <QCoreApplication>

void PostMessage(QObject* target, int message) {
  // The event loop takes ownership of a posted event.
  QCoreApplication::postEvent(target, new QEvent(MessageEventType(message)));
}
