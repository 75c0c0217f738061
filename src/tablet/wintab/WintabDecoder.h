#pragma once

#include <cstdint>
#include <functional>

#include "tablet/PenTracker.h"
#include "tablet/TabletAxes.h"

// One Wintab packet with the items the Wintab library asks for: status,
// serial number, cursor, buttons and the X and Y axes. X and Y are in the
// context's output coordinates, which the library makes equal to its input
// extent, so they are the tablet's own counts.
struct WintabPacket {
    // TPS_ bits of the packet status.
    std::uint32_t status = 0;
    // Counts up by one per packet of the context; a gap means packets were lost.
    std::uint32_t serial = 0;
    // The index of the cursor (tool) that made the packet.
    std::uint32_t cursor = 0;
    // Buttons in absolute mode: bit n set while logical button n is held.
    std::uint32_t buttons = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Packet status bits of the Wintab interface.
inline constexpr std::uint32_t kTpsProximity = 0x0001;  // the cursor is out of the context
inline constexpr std::uint32_t kTpsQueueErr = 0x0002;   // the context's queue overflowed

// Turns Wintab packets into the pen frames of the shared state machine, so
// that a Wintab tablet gives the same points and side presses as every other
// backend. X and Y are brought to one count where the tablet reports unequal
// resolutions (TabletAxes). Platform-free: the Windows library feeds it what WTPacketsGet
// returns, the tests feed it recorded packet sequences.
//
// Wintab numbers a cursor's buttons logically: for a pen, button 0 is the
// tip and button 1 the (lower) barrel button; for a puck, button 0 is its
// first button and button 1 its second. Either way button 0 is the tip and
// button 1 the side switch.
class WintabDecoder {
  public:
    using FrameSink = std::function<void(const PenFrame&)>;

    explicit WintabDecoder(FrameSink sink, const TabletAxes& axes = {})
        : sink_(std::move(sink)), axes_(axes) {}

    void Packet(const WintabPacket& packet);
    // The cursor left the context's proximity (WT_PROXIMITY, leaving).
    void ProximityLeft();
    // The context was (re)opened: nothing of the previous packets counts.
    void Reset();

  private:
    void Leave();

    FrameSink sink_;
    TabletAxes axes_;
    // The last packet seen while the cursor was in proximity.
    bool inProximity_ = false;
    bool haveSerial_ = false;
    std::uint32_t serial_ = 0;
    std::uint32_t cursor_ = 0;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
};
