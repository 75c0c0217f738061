#pragma once

// The control side of the stand-in for a tablet driver's wintab32.dll that
// the Wintab tests load (as fakewintab32.dll). Everything else it exports is the Wintab
// interface itself.

#include <windows.h>

struct FakeWintabState {
    // Calls the library made.
    int opens = 0;
    int closes = 0;
    int overlaps = 0;
    // The queue size the driver accepted last; it takes up to 256.
    int queueSize = 0;
    // The window and the context of the last WTOpenW.
    HWND owner = nullptr;
    UINT options = 0;
    UINT msgBase = 0;
    DWORD pktData = 0;
    DWORD pktMode = 0;
    LONG inExtX = 0;
    LONG inExtY = 0;
    LONG outOrgX = 0;
    LONG outOrgY = 0;
    LONG outExtX = 0;
    LONG outExtY = 0;
};

extern "C" {
// Back to a driver with a tablet that opens contexts, and no packets.
using FakeWintabResetFunction = void (*)(BOOL tablet, BOOL opens);
// Queues one packet for the open context and posts WT_PACKET to its owner.
using FakeWintabPushFunction = void (*)(UINT status, UINT serial, UINT cursor, DWORD buttons,
                                        LONG x, LONG y);
// Posts WT_PROXIMITY for the cursor leaving the context.
using FakeWintabLeaveFunction = void (*)();
using FakeWintabInspectFunction = const FakeWintabState* (*)();
// The resolution the driver reports for X and Y (WTI_DEVICES), in lines per
// unit as 16.16 fixed-point numbers, and the unit (1 inches, 2 centimetres);
// reset to 2540 lines per inch on both.
using FakeWintabResolutionFunction = void (*)(DWORD x, DWORD y, UINT units);
}
