#include "FakePadLink.h"

#include "tablet/WintabPacketEvent.h"

void FakePadLink::PushPick(std::int32_t x, std::int32_t y, std::int32_t strokeEnd) {
    PushPoint(Point{x, y, x, y, strokeEnd});
}

void FakePadLink::PushStroke(const std::vector<std::pair<std::int32_t, std::int32_t>>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto [x, y] = points[i];
        PushPoint(Point{x, y, x, y, i + 1 == points.size() ? 1 : 0});
    }
}

void FakePadLink::PushPoint(const Point& point) { Queue().PushPoint(point); }

void FakePadLink::PushSide() { Queue().PushSide(); }

void FakePadLink::Notify() {
    // A closed library posts nothing, like the real one.
    if (IsOpen()) PostWintabPacket(window);
}

void FakePadLink::PadlinkInit(WindowHandle w, std::int32_t debug, std::int32_t reserved) {
    window = w;
    debugSwitch = debug;
    ++initCalls;
    QueuedPadLink::PadlinkInit(w, debug, reserved);
}

void FakePadLink::PadlinkSetMode(std::int32_t m) {
    mode = m;
    setModeCalls.push_back(m);
    QueuedPadLink::PadlinkSetMode(m);
}

std::int32_t FakePadLink::PadlinkWintab(std::int32_t wParam, std::int32_t lParam) {
    if (!scriptedWintab_.empty()) {
        const std::int32_t count = scriptedWintab_.front();
        scriptedWintab_.pop_front();
        return count;
    }
    return QueuedPadLink::PadlinkWintab(wParam, lParam);
}

void FakePadLink::PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                                 std::int32_t& lPenX, std::int32_t& lPenY,
                                 std::int32_t& lStrokeEnd) {
    ++getDataCalls;
    QueuedPadLink::PadlinkGetData(reserved, lLogX, lLogY, lPenX, lPenY, lStrokeEnd);
}

std::int32_t FakePadLink::PadlinkGetDataCnt() {
    if (!scriptedDataCnt_.empty()) {
        const std::int32_t count = scriptedDataCnt_.front();
        scriptedDataCnt_.pop_front();
        return count;
    }
    return QueuedPadLink::PadlinkGetDataCnt();
}

void FakePadLink::PadlinkClose() {
    ++closeCalls;
    QueuedPadLink::PadlinkClose();
}

bool FakePadLink::SetPenExclusive(bool exclusive) {
    exclusiveCalls.push_back(exclusive);
    return !exclusive || exclusiveHolds;
}
