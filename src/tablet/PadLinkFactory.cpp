#include "PadLinkFactory.h"

#include <QFile>
#include <QtGlobal>

#include "NullPadLink.h"
#include "ReplayPadLink.h"

#ifdef Q_OS_WIN
#include "WintabPadLink.h"

namespace {

PadLinkChoice OpenWintab(const NativeWindowLookup& nativeWindow) {
    PadLinkChoice choice;
    QString why;
    choice.library = WintabPadLink::Load(nativeWindow, &why);
    if (!choice.library) {
        choice.library = std::make_unique<NullPadLink>();
        choice.loadError = why + QStringLiteral("タブレットなしで続けます。");
    }
    return choice;
}

}  // namespace
#endif

PadLinkChoice CreatePadLink(const NativeWindowLookup& nativeWindow) {
    PadLinkChoice choice;
    const QString requested = qEnvironmentVariable("KALVOR_PAD");
#ifdef Q_OS_WIN
    if (requested.isEmpty() || requested == QLatin1String("wintab"))
        return OpenWintab(nativeWindow);
#else
    Q_UNUSED(nativeWindow);
#endif
    if (requested.isEmpty()) {
        choice.library = std::make_unique<NullPadLink>();
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
