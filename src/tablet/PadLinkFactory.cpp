#include "PadLinkFactory.h"

#include <QFile>
#include <QtGlobal>

#include "NullPadLink.h"
#include "ReplayPadLink.h"

#ifdef KALVOR_EVDEV
#include "EvdevPadChoice.h"
#endif

PadLinkChoice ChoosePadLink(const QString& requested) {
#ifdef KALVOR_EVDEV
    if (std::optional<PadLinkChoice> evdev = ChooseEvdevPadLink(requested, EvdevEnvironment{}))
        return std::move(*evdev);
#endif
    PadLinkChoice choice;
    if (requested.isEmpty() || requested == QLatin1String("virtual")) {
        choice.onScreenPad = true;
        return choice;
    }
    if (requested == QLatin1String("none")) {
        choice.library = std::make_unique<NullPadLink>();
        return choice;
    }

    if (requested == QLatin1String("virtual")) {
        choice.library = std::make_unique<NullPadLink>();
        choice.onScreenPad = true;
        return choice;
    }

    const QLatin1String replayPrefix("replay:");
    if (requested.startsWith(replayPrefix)) {
        const QString path = requested.mid(replayPrefix.size());
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            choice.loadError =
                QStringLiteral(
                    "再生ファイル「%1」を読み込めませんでした。タブレットなしで続けます。")
                    .arg(path);
        }
        // Even an unreadable file gives a library that simply delivers
        // nothing, so the program runs on as without a tablet.
        choice.library = std::make_unique<ReplayPadLink>(path);
        return choice;
    }

    choice.library = std::make_unique<NullPadLink>();
    choice.loadError =
        QStringLiteral(
            "タブレットライブラリ「%1」を読み込めませんでした。タブレットなしで続けます。")
            .arg(requested);
    return choice;
}

PadLinkChoice CreatePadLink() { return ChoosePadLink(qEnvironmentVariable("KALVOR_PAD")); }
