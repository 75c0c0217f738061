#pragma once

#include <QAbstractNativeEventFilter>
#include <QString>
#include <cstdint>
#include <memory>

#include "PadLink.h"
#include "PadLinkFactory.h"
#include "PenQueue.h"
#include "PenTracker.h"
#include "WintabDecoder.h"

// The tablet library for Windows: reads the tablet through the Wintab
// interface of the tablet driver (wintab32.dll, loaded at the first call).
// It opens a digitizing context whose output extent equals its input extent,
// so that X and Y are the tablet's own counts, owned by the main window with
// CXO_MESSAGES: the driver posts WT_PACKET (0x7FF0) to that window, where a
// native event filter takes the packets out of the context's queue, decodes
// them and posts the window the contract's WintabPacketEvent. Packets that
// give no point or side press (hovering) post nothing.
class WintabPadLink : public PadLink, private QAbstractNativeEventFilter {
  public:
    struct Api;

    // Loads wintab32.dll (tests name a stand-in) and checks that the driver
    // reports a tablet and that a context can be opened. Null, with the
    // reason in `why`, when not.
    static std::unique_ptr<WintabPadLink> Load(
        NativeWindowLookup nativeWindow, QString* why,
        const QString& library = QStringLiteral("wintab32.dll"));
    ~WintabPadLink() override;

    void PadlinkInit(WindowHandle window, std::int32_t debugSwitch, std::int32_t reserved) override;
    void PadlinkSetMove(std::int32_t value) override;
    void PadlinkSetMode(std::int32_t mode) override;
    std::int32_t PadlinkWintab(std::int32_t wParam, std::int32_t lParam) override;
    void PadlinkGetData(std::int32_t reserved, std::int32_t& lLogX, std::int32_t& lLogY,
                        std::int32_t& lPenX, std::int32_t& lPenY,
                        std::int32_t& lStrokeEnd) override;
    std::int32_t PadlinkGetDataCnt() override;
    void PadlinkClose() override;

  private:
    WintabPadLink(std::unique_ptr<Api> api, NativeWindowLookup nativeWindow);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void TakePackets();
    void PostIfWaiting();

    std::unique_ptr<Api> api_;
    NativeWindowLookup nativeWindow_;
    PenQueue queue_;
    PenTracker tracker_{queue_};
    WintabDecoder decoder_{tracker_};
    WindowHandle window_ = nullptr;
    void* hwnd_ = nullptr;
    void* context_ = nullptr;
    bool debug_ = false;
    // A WintabPacketEvent is on its way and PadlinkWintab has not yet run.
    bool posted_ = false;
};
