#include "RunKalvor.h"

#include "AppFiles.h"
#include "FigureWindow.h"
#include "PadLinkFactory.h"
#include "QtClipboard.h"
#include "QtDialogs.h"
#include "QtSoundPlayer.h"
#include "VirtualPadLink.h"
#include "frmTab.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>

#include <memory>

namespace {

// The design's fonts do not exist outside Windows: map them to the Japanese
// gothic fonts Debian installs, so the fixed-pitch key help lines up.
void SubstituteDesignFonts() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("monospace")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
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

    PadLinkChoice tablet = CreatePadLink();
    // The figure being measured is shown on the on-screen pad itself, or, with
    // any other library, in a window of its own that F11 opens.
    std::unique_ptr<FigureWindow> figureWindow;
    FigureDisplay* figure = nullptr;
    if (tablet.onScreenPad) {
        auto pad = std::make_unique<VirtualPadLink>();
        figure = &pad->Window();
        tablet.library = std::move(pad);
    } else {
        figureWindow = std::make_unique<FigureWindow>();
        figure = figureWindow.get();
    }
    QtSoundPlayer sound;
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
    services.figure = figure;
    if (!services.previousInstance)
        services.dataDirectory = ResolveDataDirectory(services.executableDirectory);

    frmTab window(edition, services);
    dialogs.SetParent(&window);
    if (!window.Form_Load()) return 0;
    window.show();
    return app.exec();
}
