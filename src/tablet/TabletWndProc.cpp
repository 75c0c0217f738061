#include "tablet/TabletWndProc.h"

#include <QEvent>
#include <utility>

#include "tablet/WintabPacketEvent.h"

TabletWndProc::TabletWndProc(Handler handler) : handler_(std::move(handler)) {}

void TabletWndProc::Install(QObject* window) {
    Remove();
    if (window == nullptr) {
        return;
    }
    window_ = window;
    window_->installEventFilter(this);
}

void TabletWndProc::Remove() {
    if (window_ != nullptr) {
        window_->removeEventFilter(this);
        window_ = nullptr;
    }
}

bool TabletWndProc::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || event->type() != WintabPacketEvent::EventType()) {
        return false;
    }
    auto* packet = static_cast<WintabPacketEvent*>(event);
    if (packet->Message() != WT_PACKET) {
        return false;
    }
    // The window sees the packet first, as under the previous procedure;
    // only then does the tablet handler run. The filter consumes the event
    // so that the window does not get it a second time.
    watched->event(event);
    if (handler_) {
        handler_(packet->WParam(), packet->LParam());
    }
    return true;
}
