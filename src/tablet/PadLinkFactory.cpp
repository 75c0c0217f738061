#include "tablet/PadLinkFactory.h"

#include <QtGlobal>

#include "tablet/replay/ReplayPadLink.h"

#ifdef KALVOR_EVDEV
#include "tablet/evdev/EvdevPadChoice.h"
#endif

#ifdef Q_OS_WIN
#include "tablet/wintab/WintabPadLink.h"

namespace {

// The Wintab tablet, or, where the driver reports none, the on-screen pad
// after a notice saying why.
PadLinkChoice OpenWintab(const NativeWindowLookup& nativeWindow) {
    PadLinkChoice choice;
    QString why;
    if (std::unique_ptr<WintabPadLink> wintab = WintabPadLink::Load(nativeWindow, &why)) {
        if (const std::optional<TabletAxes> axes = wintab->Axes()) {
            choice.rawAxes = axes;
            choice.axes = axes->Common();
        }
        choice.library = std::move(wintab);
    } else {
        choice.onScreenPad = true;
        choice.loadError = why + OnScreenPadFollows();
    }
    return choice;
}

}  // namespace
#endif

PadLinkChoice ChoosePadLink(const QString& requested, const NativeWindowLookup& nativeWindow) {
#ifdef Q_OS_WIN
    if (requested.isEmpty() || requested == QLatin1String("wintab"))
        return OpenWintab(nativeWindow);
#else
    Q_UNUSED(nativeWindow);
#endif
#ifdef KALVOR_EVDEV
    if (std::optional<PadLinkChoice> evdev = ChooseEvdevPadLink(requested, EvdevEnvironment{}))
        return std::move(*evdev);
#endif
    PadLinkChoice choice;
    if (requested.isEmpty() || requested == QLatin1String("virtual")) {
        choice.onScreenPad = true;
        return choice;
    }
    if (requested == QLatin1String("none")) return choice;

    const QLatin1String replayPrefix("replay:");
    if (requested.startsWith(replayPrefix)) {
        const QString path = requested.mid(replayPrefix.size());
        // Even an unreadable file gives a library that simply delivers
        // nothing, so the program runs on as without a tablet.
        auto replay = std::make_unique<ReplayPadLink>(path);
        if (!replay->Problem().isEmpty()) {
            choice.loadError = QStringLiteral(
                                   "再生ファイル「%1」を読み込めませんでした（%2）。"
                                   "タブレットなしで続けます。")
                                   .arg(path, replay->Problem());
        }
        choice.library = std::move(replay);
        return choice;
    }

    choice.loadError =
        QStringLiteral(
            "タブレットライブラリ「%1」を読み込めませんでした。タブレットなしで続けます。")
            .arg(requested);
    return choice;
}

PadLinkChoice CreatePadLink(const NativeWindowLookup& nativeWindow) {
    return ChoosePadLink(qEnvironmentVariable("KALVOR_PAD"), nativeWindow);
}
