#pragma once

#include <QEvent>

#include <cstdint>

// The Wintab packet message WT_PACKET that a tablet library posts to its
// window when pen events are ready. wParam and lParam mean something only to
// the library.
inline constexpr std::uint32_t WT_PACKET = 0x7FF0;

class WintabPacketEvent : public QEvent {
public:
    WintabPacketEvent(std::uint32_t message, std::int32_t wParam, std::int32_t lParam)
        : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam) {}

    static QEvent::Type EventType();

    std::uint32_t Message() const { return message_; }
    std::int32_t WParam() const { return wParam_; }
    std::int32_t LParam() const { return lParam_; }

private:
    std::uint32_t message_;
    std::int32_t wParam_;
    std::int32_t lParam_;
};

// Posts WT_PACKET to the window; the event waits in the queue until the
// message loop (or a modal box's loop) dispatches it.
void PostWintabPacket(QObject* window, std::int32_t wParam = 0, std::int32_t lParam = 0);
