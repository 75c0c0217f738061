#pragma once

#include <QAbstractNativeEventFilter>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "tablet/PadLinkChoice.h"
#include "tablet/QueuedPadLink.h"
#include "tablet/wintab/WintabDecoder.h"

// The tablet library for Windows: reads the tablet through the Wintab
// interface of the tablet driver (wintab32.dll, loaded at the first call).
// It opens a digitizing context whose output extent equals its input extent,
// so that X and Y are the tablet's own counts, owned by the main window with
// CXO_MESSAGES: the driver posts WT_PACKET (0x7FF0) to that window, where a
// native event filter takes the packets out of the context's queue, decodes
// them and posts the window the contract's WintabPacketEvent. Packets that
// give no point or side press (hovering) post nothing. Without CXO_SYSTEM the
// context never moves the system cursor: while it is on top (Kalvor is the
// active application) the pen works for the measurement alone.
class WintabPadLink : public QueuedPadLink, private QAbstractNativeEventFilter {
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
    void PadlinkClose() override;

    // The tablet's X and Y axes as the driver describes them (WTI_DEVICES:
    // DVC_X, DVC_Y), resolutions in counts per millimetre; nullopt when it
    // does not.
    const std::optional<TabletAxes>& Axes() const { return axes_; }

  private:
    WintabPadLink(std::unique_ptr<Api> api, NativeWindowLookup nativeWindow,
                  std::optional<TabletAxes> axes);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void TakePackets();

    std::unique_ptr<Api> api_;
    NativeWindowLookup nativeWindow_;
    std::optional<TabletAxes> axes_;
    Pen pen_{*this};
    WintabDecoder decoder_;
    void* hwnd_ = nullptr;
    void* context_ = nullptr;
    bool debug_ = false;
};
