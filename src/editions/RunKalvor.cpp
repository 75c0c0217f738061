#include "RunKalvor.h"

#include "AppFiles.h"
#include "PadLinkFactory.h"
#include "QtClipboard.h"
#include "QtDialogs.h"
#include "frmTab.h"

#ifdef Q_OS_WIN
#include "ExecutableVersion.h"
#include "WinSoundPlayer.h"
#else
#include "QtSoundPlayer.h"
#endif

#include <QApplication>
#include <QFileInfo>
#include <QFont>

namespace {

// The design's fonts do not exist outside Windows: map them to the Japanese
// gothic fonts Debian installs, so the fixed-pitch key help lines up. A
// Windows that lists them under their English names finds them by those.
void SubstituteDesignFonts() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                               {QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                                QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Yu Gothic"),
                                QStringLiteral("sans-serif")});
}

}  // namespace

int RunKalvor(int argc, char** argv, const Edition& edition) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(edition.executableName);
    SubstituteDesignFonts();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    const QString executablePath = QCoreApplication::applicationFilePath();
    const QFileInfo executable(executablePath);
    InstanceGuard guard(executablePath);

    // The tablet library reaches the window's native handle through this.
    PadLinkChoice tablet = CreatePadLink([](QObject* window) -> quintptr {
        auto* widget = qobject_cast<QWidget*>(window);
        return widget != nullptr ? static_cast<quintptr>(widget->winId()) : 0;
    });
#ifdef Q_OS_WIN
    WinSoundPlayer sound;
    // The title shows the version in the running executable's own resource,
    // so that it never differs from what the file's properties show.
    Edition shown = edition;
    if (const QString version = ExecutableVersion(executablePath); !version.isEmpty())
        shown.version = version;
#else
    QtSoundPlayer sound;
    const Edition& shown = edition;
#endif
    QtDialogs dialogs;
    QtClipboard clipboard;

    frmTabServices services;
    services.tablet = tablet.library.get();
    services.sound = &sound;
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.executableDirectory = executable.absolutePath();
    services.executableBaseName = executable.completeBaseName();
    services.previousInstance = guard.PreviousInstance();
    services.tabletLoadError = tablet.loadError;
    if (!services.previousInstance)
        services.dataDirectory = ResolveDataDirectory(services.executableDirectory);

    frmTab window(shown, services);
    dialogs.SetParent(&window);
    if (!window.Form_Load()) return 0;
    window.show();
    return app.exec();
}
