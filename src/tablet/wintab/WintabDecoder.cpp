#include "tablet/wintab/WintabDecoder.h"

namespace {

constexpr std::uint32_t kTipButton = 1u << 0;
constexpr std::uint32_t kSideButton = 1u << 1;

}  // namespace

void WintabDecoder::Reset() {
    inProximity_ = false;
    haveSerial_ = false;
}

void WintabDecoder::Leave() {
    if (!inProximity_) return;
    inProximity_ = false;
    // The tool is gone: whatever it held is released. Its position in such
    // a packet is not trusted (drivers report the edge or zeros).
    PenFrame frame;
    frame.leaving = true;
    if (sink_) sink_(frame);
}

void WintabDecoder::ProximityLeft() { Leave(); }

void WintabDecoder::Packet(const WintabPacket& packet) {
    // Packets that were never delivered (an overflowed queue, a skipped
    // serial number) may have held a release: the next packet only brings
    // the state up to date.
    const bool lost =
        (packet.status & kTpsQueueErr) != 0 || (haveSerial_ && packet.serial != serial_ + 1u);
    haveSerial_ = true;
    serial_ = packet.serial;

    if ((packet.status & kTpsProximity) != 0) {
        Leave();
        return;
    }
    // Another tool in the same stream (a pen turned over, a puck put down):
    // the previous one has left, whatever it held.
    if (inProximity_ && packet.cursor != cursor_) Leave();

    PenFrame frame;
    frame.x = axes_.ToCommonX(packet.x);
    frame.y = axes_.ToCommonY(packet.y);
    frame.moved = !inProximity_ || packet.x != x_ || packet.y != y_;
    frame.tip = (packet.buttons & kTipButton) != 0;
    frame.side = (packet.buttons & kSideButton) != 0;
    frame.resync = lost;
    inProximity_ = true;
    cursor_ = packet.cursor;
    x_ = packet.x;
    y_ = packet.y;
    if (sink_) sink_(frame);
}
