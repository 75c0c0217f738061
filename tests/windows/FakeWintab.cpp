// A stand-in wintab32.dll for the tests: it reports one tablet, opens
// contexts, and serves the packets a test pushes, posting WT_PACKET to the
// context's owner the way a tablet driver does. Only the packet items the
// Wintab library asks for are supported.

#include "FakeWintab.h"

#include <cstring>
#include <deque>

namespace {

using HCTX = void*;

struct LogContextW {
    WCHAR lcName[40];
    UINT lcOptions, lcStatus, lcLocks, lcMsgBase, lcDevice, lcPktRate;
    DWORD lcPktData, lcPktMode, lcMoveMask, lcBtnDnMask, lcBtnUpMask;
    LONG lcInOrgX, lcInOrgY, lcInOrgZ, lcInExtX, lcInExtY, lcInExtZ;
    LONG lcOutOrgX, lcOutOrgY, lcOutOrgZ, lcOutExtX, lcOutExtY, lcOutExtZ;
    DWORD lcSensX, lcSensY, lcSensZ;
    BOOL lcSysMode;
    int lcSysOrgX, lcSysOrgY, lcSysExtX, lcSysExtY;
    DWORD lcSysSensX, lcSysSensY;
};

// PK_CONTEXT | PK_STATUS | PK_SERIAL_NUMBER | PK_CURSOR | PK_BUTTONS | PK_X | PK_Y
struct Packet {
    HCTX context;
    UINT status;
    UINT serial;
    UINT cursor;
    DWORD buttons;
    LONG x;
    LONG y;
};

struct Axis {
    LONG axMin, axMax;
    UINT axUnits;
    DWORD axResolution;
};

FakeWintabState state;
DWORD resolutionX = 2540u << 16;
DWORD resolutionY = 2540u << 16;
UINT resolutionUnits = 1;
bool tablet = true;
bool opensContexts = true;
HCTX open = nullptr;
std::deque<Packet> queue;
int nextContext = 1;

}  // namespace

extern "C" {

__declspec(dllexport) UINT WINAPI WTInfoW(UINT category, UINT index, LPVOID output) {
    if (!tablet) return 0;
    if (category == 0) return sizeof(LogContextW);
    if (category == 100 && (index == 12 || index == 13)) {  // WTI_DEVICES: DVC_X, DVC_Y
        const Axis axis{0, index == 12 ? 15199 : 9499, resolutionUnits,
                        index == 12 ? resolutionX : resolutionY};
        if (output != nullptr) std::memcpy(output, &axis, sizeof axis);
        return sizeof axis;
    }
    if (category != 3 || index != 0) return 0;  // only the default digitizing context
    LogContextW context{};
    context.lcOptions = 0x0001;  // CXO_SYSTEM, as a driver's default might have it
    context.lcPktData = 0x00E0;
    context.lcBtnDnMask = context.lcBtnUpMask = 0x1;
    context.lcInExtX = 15200;
    context.lcInExtY = 9500;
    context.lcOutExtX = 1024;  // a driver's default scaling, to be undone
    context.lcOutExtY = -768;
    if (output != nullptr) std::memcpy(output, &context, sizeof context);
    return sizeof context;
}

__declspec(dllexport) HCTX WINAPI WTOpenW(HWND owner, LogContextW* context, BOOL) {
    ++state.opens;
    if (!opensContexts || owner == nullptr || context == nullptr) return nullptr;
    state.owner = owner;
    state.options = context->lcOptions;
    state.msgBase = context->lcMsgBase;
    state.pktData = context->lcPktData;
    state.pktMode = context->lcPktMode;
    state.inExtX = context->lcInExtX;
    state.inExtY = context->lcInExtY;
    state.outOrgX = context->lcOutOrgX;
    state.outOrgY = context->lcOutOrgY;
    state.outExtX = context->lcOutExtX;
    state.outExtY = context->lcOutExtY;
    open = reinterpret_cast<HCTX>(static_cast<INT_PTR>(0x1000 + nextContext++));
    queue.clear();
    return open;
}

__declspec(dllexport) BOOL WINAPI WTClose(HCTX context) {
    ++state.closes;
    if (context != open) return FALSE;
    open = nullptr;
    queue.clear();
    return TRUE;
}

__declspec(dllexport) int WINAPI WTPacketsGet(HCTX context, int most, LPVOID output) {
    if (context != open || output == nullptr) return 0;
    auto* packets = static_cast<Packet*>(output);
    int n = 0;
    while (n < most && !queue.empty()) {
        packets[n++] = queue.front();
        queue.pop_front();
    }
    return n;
}

__declspec(dllexport) BOOL WINAPI WTPacket(HCTX, UINT, LPVOID) { return FALSE; }

__declspec(dllexport) BOOL WINAPI WTOverlap(HCTX context, BOOL) {
    ++state.overlaps;
    return context == open;
}

__declspec(dllexport) BOOL WINAPI WTQueueSizeSet(HCTX context, int size) {
    if (context != open || size > 256) return FALSE;
    state.queueSize = size;
    return TRUE;
}

__declspec(dllexport) void FakeWintabReset(BOOL hasTablet, BOOL opens) {
    state = FakeWintabState{};
    tablet = hasTablet != FALSE;
    opensContexts = opens != FALSE;
    resolutionX = resolutionY = 2540u << 16;
    resolutionUnits = 1;
    open = nullptr;
    queue.clear();
}

__declspec(dllexport) void FakeWintabPush(UINT status, UINT serial, UINT cursor, DWORD buttons,
                                          LONG x, LONG y) {
    if (open == nullptr) return;
    queue.push_back(Packet{open, status, serial, cursor, buttons, x, y});
    PostMessageW(state.owner, 0x7FF0, serial, reinterpret_cast<LPARAM>(open));
}

__declspec(dllexport) void FakeWintabLeave() {
    if (open == nullptr) return;
    PostMessageW(state.owner, 0x7FF5, reinterpret_cast<WPARAM>(open), 0);
}

__declspec(dllexport) const FakeWintabState* FakeWintabInspect() { return &state; }

__declspec(dllexport) void FakeWintabResolution(DWORD x, DWORD y, UINT units) {
    resolutionX = x;
    resolutionY = y;
    resolutionUnits = units;
}
}
