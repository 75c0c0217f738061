#include "tablet/wintab/WintabPadLink.h"

#include <windows.h>

#include <QCoreApplication>
#include <array>
#include <cstdio>
#include <cwchar>

#include "units/Length.h"

// The few declarations of the Wintab interface this library uses, written
// from its public documentation.
namespace {

using HCTX = void*;

constexpr UINT kWtiDefContext = 3;  // the default digitizing context
constexpr UINT kWtiDevices = 100;   // the first device's description
constexpr UINT kDvcX = 12;
constexpr UINT kDvcY = 13;
constexpr UINT kTuInches = 1;
constexpr UINT kTuCentimeters = 2;
constexpr UINT kWtDefBase = 0x7FF0;
constexpr UINT kWtPacket = kWtDefBase + 0;
constexpr UINT kWtProximity = kWtDefBase + 5;
constexpr UINT kCxoSystem = 0x0001;
constexpr UINT kCxoMessages = 0x0004;

constexpr DWORD kPkContext = 0x0001;
constexpr DWORD kPkStatus = 0x0002;
constexpr DWORD kPkSerialNumber = 0x0010;
constexpr DWORD kPkCursor = 0x0020;
constexpr DWORD kPkButtons = 0x0040;
constexpr DWORD kPkX = 0x0080;
constexpr DWORD kPkY = 0x0100;
constexpr DWORD kPacketData =
    kPkContext | kPkStatus | kPkSerialNumber | kPkCursor | kPkButtons | kPkX | kPkY;

struct LogContextW {
    WCHAR lcName[40];
    UINT lcOptions;
    UINT lcStatus;
    UINT lcLocks;
    UINT lcMsgBase;
    UINT lcDevice;
    UINT lcPktRate;
    DWORD lcPktData;
    DWORD lcPktMode;
    DWORD lcMoveMask;
    DWORD lcBtnDnMask;
    DWORD lcBtnUpMask;
    LONG lcInOrgX;
    LONG lcInOrgY;
    LONG lcInOrgZ;
    LONG lcInExtX;
    LONG lcInExtY;
    LONG lcInExtZ;
    LONG lcOutOrgX;
    LONG lcOutOrgY;
    LONG lcOutOrgZ;
    LONG lcOutExtX;
    LONG lcOutExtY;
    LONG lcOutExtZ;
    DWORD lcSensX;  // FIX32
    DWORD lcSensY;
    DWORD lcSensZ;
    BOOL lcSysMode;
    int lcSysOrgX;
    int lcSysOrgY;
    int lcSysExtX;
    int lcSysExtY;
    DWORD lcSysSensX;
    DWORD lcSysSensY;
};
static_assert(sizeof(LogContextW) == 80 + 33 * 4, "LOGCONTEXTW layout");

// One axis of a device: its range, the unit of its resolution, and the
// resolution in lines per unit as a 16.16 fixed-point number.
struct Axis {
    LONG axMin;
    LONG axMax;
    UINT axUnits;
    DWORD axResolution;
};

// A packet holds the items of kPacketData in the order of their bits.
struct PacketRecord {
    HCTX pkContext;
    UINT pkStatus;
    UINT pkSerialNumber;
    UINT pkCursor;
    DWORD pkButtons;
    LONG pkX;
    LONG pkY;
};

// Packets taken out of the context's queue per call.
constexpr int kPacketBatch = 64;
// The driver's default queue holds a handful of packets; a stroke drawn while
// the window is busy would overflow it. The largest size the driver accepts.
constexpr std::array<int, 5> kQueueSizes = {1024, 512, 256, 128, 64};

template <typename Function>
Function Resolve(HMODULE module, const char* name) {
    // Through the generic function type, which every function pointer may
    // be converted to and back.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The context this library opens: the default digitizing context, with
// messages to its owner, the packet items above in absolute mode, and an
// output extent equal to the input extent, so that X and Y are the
// tablet's own counts.
void Prepare(LogContextW& context) {
    std::wcsncpy(context.lcName, L"Kalvor", sizeof(context.lcName) / sizeof(WCHAR) - 1);
    context.lcOptions = (context.lcOptions | kCxoMessages) & ~kCxoSystem;
    context.lcMsgBase = kWtDefBase;
    context.lcPktData = kPacketData;
    context.lcPktMode = 0;
    context.lcMoveMask = kPacketData;
    context.lcBtnDnMask = 0xFFFFFFFFu;
    context.lcBtnUpMask = 0xFFFFFFFFu;
    context.lcOutOrgX = context.lcInOrgX;
    context.lcOutOrgY = context.lcInOrgY;
    context.lcOutExtX = context.lcInExtX;
    context.lcOutExtY = context.lcInExtY;
}

void PrintLine(const char* text) { std::fprintf(stderr, "wintab: %s\n", text); }

// Counts per millimetre of an axis; 0 when its unit is not a length.
double CountsPerMillimetre(const Axis& axis) {
    const double perUnit = axis.axResolution / 65536.0;
    switch (axis.axUnits) {
        case kTuInches:
            return perUnit / kMillimetresPerInch;
        case kTuCentimeters:
            return perUnit / 10.0;
        default:
            return 0.0;
    }
}

}  // namespace

struct WintabPadLink::Api {
    HMODULE module = nullptr;
    UINT(WINAPI* info)(UINT, UINT, LPVOID) = nullptr;
    HCTX(WINAPI* open)(HWND, LogContextW*, BOOL) = nullptr;
    BOOL(WINAPI* close)(HCTX) = nullptr;
    int(WINAPI* packetsGet)(HCTX, int, LPVOID) = nullptr;
    BOOL(WINAPI* overlap)(HCTX, BOOL) = nullptr;
    BOOL(WINAPI* queueSizeSet)(HCTX, int) = nullptr;  // optional

    ~Api() {
        if (module != nullptr) FreeLibrary(module);
    }

    // The first device's X and Y axes; nullopt when the driver does not
    // describe them.
    std::optional<TabletAxes> DeviceAxes() const {
        Axis x{};
        Axis y{};
        if (info(kWtiDevices, kDvcX, &x) < sizeof x || info(kWtiDevices, kDvcY, &y) < sizeof y)
            return std::nullopt;
        TabletAxes axes;
        axes.x = {x.axMin, x.axMax, CountsPerMillimetre(x)};
        axes.y = {y.axMin, y.axMax, CountsPerMillimetre(y)};
        return axes;
    }

    bool DefaultContext(LogContextW& context) const {
        context = LogContextW{};
        if (info(kWtiDefContext, 0, &context) == 0) return false;
        Prepare(context);
        return true;
    }
};

std::unique_ptr<WintabPadLink> WintabPadLink::Load(NativeWindowLookup nativeWindow, QString* why,
                                                   const QString& library) {
    auto fail = [why](const QString& reason) {
        if (why != nullptr) *why = reason;
        return std::unique_ptr<WintabPadLink>();
    };
    auto api = std::make_unique<Api>();
    api->module = LoadLibraryW(reinterpret_cast<const wchar_t*>(library.utf16()));
    if (api->module == nullptr)
        return fail(QStringLiteral("タブレットのドライバー (wintab32.dll) が見つかりません。"));
    api->info = Resolve<decltype(api->info)>(api->module, "WTInfoW");
    api->open = Resolve<decltype(api->open)>(api->module, "WTOpenW");
    api->close = Resolve<decltype(api->close)>(api->module, "WTClose");
    api->packetsGet = Resolve<decltype(api->packetsGet)>(api->module, "WTPacketsGet");
    api->overlap = Resolve<decltype(api->overlap)>(api->module, "WTOverlap");
    api->queueSizeSet = Resolve<decltype(api->queueSizeSet)>(api->module, "WTQueueSizeSet");
    if (api->info == nullptr || api->open == nullptr || api->close == nullptr ||
        api->packetsGet == nullptr || api->overlap == nullptr)
        return fail(QStringLiteral("タブレットのドライバー (wintab32.dll) が古すぎます。"));

    LogContextW context;
    if (api->info(0, 0, nullptr) == 0 || !api->DefaultContext(context))
        return fail(QStringLiteral("タブレットが見つかりません。"));

    // The main window has no native handle yet: try the context on a hidden
    // window of our own, so that a driver that refuses it is known now,
    // while the program can still go on without the tablet.
    HWND probe =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HCTX opened = probe != nullptr ? api->open(probe, &context, FALSE) : nullptr;
    if (opened != nullptr) api->close(opened);
    if (probe != nullptr) DestroyWindow(probe);
    if (opened == nullptr) return fail(QStringLiteral("タブレットを開けません。"));

    std::optional<TabletAxes> axes = api->DeviceAxes();
    return std::unique_ptr<WintabPadLink>(
        new WintabPadLink(std::move(api), std::move(nativeWindow), axes));
}

WintabPadLink::WintabPadLink(std::unique_ptr<Api> api, NativeWindowLookup nativeWindow,
                             std::optional<TabletAxes> axes)
    : api_(std::move(api)),
      nativeWindow_(std::move(nativeWindow)),
      axes_(axes),
      decoder_([this](const PenFrame& frame) { pen_.Frame(frame); }, axes.value_or(TabletAxes{})) {}

WintabPadLink::~WintabPadLink() { PadlinkClose(); }

void WintabPadLink::PadlinkInit(WindowHandle window, std::int32_t debugSwitch,
                                std::int32_t reserved) {
    PadlinkClose();
    debug_ = debugSwitch != 0;
    QueuedPadLink::PadlinkInit(window, debugSwitch, reserved);
    hwnd_ = window != nullptr && nativeWindow_ ? reinterpret_cast<void*>(nativeWindow_(window))
                                               : nullptr;
    LogContextW context;
    if (hwnd_ == nullptr || !api_->DefaultContext(context)) {
        PrintLine("no window to open the context on");
        return;
    }
    context_ = api_->open(static_cast<HWND>(hwnd_), &context, TRUE);
    if (context_ == nullptr) {
        PrintLine("WTOpenW failed");
        return;
    }
    if (api_->queueSizeSet != nullptr) {
        for (const int size : kQueueSizes)
            if (api_->queueSizeSet(context_, size)) break;
    }
    decoder_.Reset();
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Ours is the context on top until another application's takes its place.
    api_->overlap(context_, TRUE);
}

void WintabPadLink::PadlinkClose() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (context_ != nullptr) api_->close(context_);
    context_ = nullptr;
    hwnd_ = nullptr;
    QueuedPadLink::PadlinkClose();
}

bool WintabPadLink::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // Qt shows a posted message to the filters as its event loop takes it
    // off the queue, and again in the window procedure of a Qt window; a
    // native modal loop (a system file dialog) passes only the second. Both
    // come as "windows_generic_MSG". The queue is drained at the first, and
    // the second finds it empty; WM_ACTIVATE is sent, so it comes once.
    if (context_ == nullptr || eventType != "windows_generic_MSG") return false;
    const auto* msg = static_cast<const MSG*>(message);
    if (msg->hwnd != static_cast<HWND>(hwnd_)) return false;
    switch (msg->message) {
        case kWtPacket:
            if (reinterpret_cast<HCTX>(msg->lParam) == context_) TakePackets();
            break;
        case kWtProximity:
            // The low word of lParam is 0 when the cursor leaves the context.
            if (reinterpret_cast<HCTX>(msg->wParam) == context_ && LOWORD(msg->lParam) == 0) {
                TakePackets();
                if (debug_) std::fprintf(stderr, "leave\n");
                decoder_.ProximityLeft();
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(msg->wParam) != WA_INACTIVE) api_->overlap(context_, TRUE);
            break;
        default:
            break;
    }
    // The window's own procedure still sees every message.
    return false;
}

void WintabPadLink::TakePackets() {
    // All that waits, not just the packet this message names: the messages
    // of the packets taken with it then find the queue empty.
    std::array<PacketRecord, kPacketBatch> packets{};
    for (;;) {
        const int n = api_->packetsGet(context_, kPacketBatch, packets.data());
        for (int i = 0; i < n; ++i) {
            const PacketRecord& p = packets[static_cast<std::size_t>(i)];
            if (debug_) {
                // The same columns as the recorded sequences of the tests.
                std::fprintf(stderr, "packet %u %u %u %lu %ld %ld\n", p.pkStatus, p.pkSerialNumber,
                             p.pkCursor, static_cast<unsigned long>(p.pkButtons),
                             static_cast<long>(p.pkX), static_cast<long>(p.pkY));
            }
            decoder_.Packet(
                WintabPacket{p.pkStatus, p.pkSerialNumber, p.pkCursor, p.pkButtons, p.pkX, p.pkY});
        }
        if (n < kPacketBatch) break;
    }
}
