#include "tablet/WintabPacketEvent.h"

#include <QCoreApplication>

QEvent::Type WintabPacketEvent::EventType() {
    // One type for the whole process, registered on first use.
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostWintabPacket(QObject* window, std::int32_t wParam, std::int32_t lParam) {
    if (window == nullptr) {
        return;
    }
    // Posted, not sent: the handler runs only when the message loop (or a
    // modal box's loop) takes it, never inside the library's own call.
    QCoreApplication::postEvent(window, new WintabPacketEvent(WT_PACKET, wParam, lParam));
}
