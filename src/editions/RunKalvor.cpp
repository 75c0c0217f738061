#include "editions/RunKalvor.h"
#include "editions/QtPlatformChoice.h"

#include "shell/AppFiles.h"
#include "shell/DataDirectoryLock.h"
#include "shell/DesignFont.h"
#include "measure/ui/FigureWindow.h"
#include "measure/ui/WindowPlacing.h"
#include "shell/InstanceGuard.h"
#include "pad/PadInput.h"
#include "tablet/PadLinkFactory.h"
#include "exchange/ui/QtClipboard.h"
#include "shell/QtDialogs.h"
#include "shell/QtJapanese.h"
#include "editions/SideWindowSettingsFile.h"
#include "shell/frmTab.h"

#ifdef Q_OS_WIN
#include "editions/ExecutableVersion.h"
#include "shell/WinSoundPlayer.h"
#else
#include "shell/LoadedSoundPlayer.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// The design's fonts do not exist outside Windows: map them to the Japanese
// gothic fonts Debian installs, so the fixed-pitch key help lines up. A
// Windows that lists them under their English names finds them by those.
void SubstituteDesignFonts() {
    QFont::insertSubstitutions(
        QStringLiteral("ＭＳ ゴシック"),
        {QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
         QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Yu Gothic"),
                                QStringLiteral("sans-serif")});
}

// The application's name, its menu entry, the fonts and Qt's own texts in
// Japanese.
void SetUpApplication(QApplication& app, const Edition& edition,
                      const QString& executableDirectory) {
    QApplication::setApplicationName(edition.executableName);
    // Ties the window to its menu entry (kalvor.desktop, kalvor080125.desktop),
    // so that docks and task bars show the entry's name and icon.
    QApplication::setDesktopFileName(edition.executableName.toLower());
    SubstituteDesignFonts();
    QApplication::setFont(DesignFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    InstallQtJapanese(app, executableDirectory);
}

// Where the settings and autosave files go, and what the operator is told
// of that place (nothing for the usual one).
struct DataPlace {
    QString directory;
    QString notice;
};

DataPlace ChooseDataDirectory(const QString& executableDirectory, const QString& baseName,
                              const Edition& edition) {
    // KALVOR_DATA_DIR names the directory for the files (./run.sh keeps them
    // out of the build tree this way); else beside the executable where it
    // can write there, or the per-user directory.
    const QString asked = qEnvironmentVariable("KALVOR_DATA_DIR");
    DataPlace place{asked, QString()};
    if (!asked.isEmpty() && !QDir().mkpath(asked)) {
        // Named but impossible (a file there, a link loop, no permission):
        // the files go to the usual place, and the operator is told so.
        place.directory.clear();
        place.notice =
            QStringLiteral("KALVOR_DATA_DIR のフォルダー「%1」を作れないため、使いません。\n")
                .arg(QDir::toNativeSeparators(asked));
    }
    if (place.directory.isEmpty()) place.directory = ResolveDataDirectory(executableDirectory);
    place.directory = QDir(place.directory).absolutePath();
    if (PreparePerUserDirectory(place.directory, executableDirectory, baseName) ||
        !place.notice.isEmpty()) {
        // The reduced edition has no autosave to speak of.
        place.notice +=
            (edition.autosave
                 ? QStringLiteral("設定と自動保存のファイルは、次のフォルダーに置きます。\n%1")
                 : QStringLiteral("設定のファイルは、次のフォルダーに置きます。\n%1"))
                .arg(QDir::toNativeSeparators(place.directory));
    }
    return place;
}

// Why this copy may not use the data directory (another copy holds it, or
// it cannot be held at all), in words for the operator; empty when `lock`
// holds it now.
QString HoldDataDirectory(DataDirectoryLock& lock, const QString& directory) {
    if (lock.Held()) return {};
    const QString folder = QDir::toNativeSeparators(directory);
    if (lock.Problem().isEmpty()) {
        return QStringLiteral(
                   "このフォルダーのデータは、別の Kalvor が使っています。\n%1\n"
                   "同じデータを二つのプログラムで使うと値が失われるため、終了します。")
            .arg(folder);
    }
    return QStringLiteral(
               "このフォルダーは Kalvor のデータに使えません：%1\n%2\n"
               "値を保存できないため、終了します。")
        .arg(lock.Problem(), folder);
}

// Where the figure being measured is shown: on the on-screen pad itself, or,
// with any other library, in a window of its own that F11 opens.
struct FigureDisplays {
    std::unique_ptr<FigureWindow> window;
    PadWindow* pad = nullptr;
    FigureDisplay* shown = nullptr;
};

FigureDisplays ShowFigureOn(PadLinkChoice& tablet, SideWindowSettings& settings) {
    FigureDisplays displays;
    if (tablet.onScreenPad) {
        auto pad = std::make_unique<PadInput>();
        displays.pad = &pad->Window();
        displays.pad->SetSettings(&settings);
        displays.shown = displays.pad;
        tablet.library->AddInput(std::move(pad));
        return displays;
    }
    // A real tablet's whole area, where the device describes it.
    std::optional<TabletArea> area;
    if (tablet.axes) {
        area = TabletArea{tablet.axes->x.minimum, tablet.axes->y.minimum, tablet.axes->x.maximum,
                          tablet.axes->y.maximum};
    }
    displays.window = std::make_unique<FigureWindow>(area);
    displays.window->SetSettings(&settings);
    displays.shown = displays.window.get();
    return displays;
}

// What the tablet library tells the window of the tablet.
void DescribeTablet(frmTabServices& services, const PadLinkChoice& tablet, bool onScreenPad) {
    services.tabletLoadError = tablet.loadError;
    services.tabletName = tablet.deviceName;
    if (tablet.axes) {
        services.tabletResolution = tablet.axes->ResolutionLine();
        services.tabletCountsPerMm = tablet.axes->CommonResolution();
    }
    if (onScreenPad) services.tabletCountsPerMm = PadWindow::kCountsPerMillimetre;
}

}  // namespace

int RunKalvor(int argc, char** argv, const Edition& edition) {
    ChooseQtPlatform(argc, argv);
    QApplication app(argc, argv);
    const QString executablePath = QCoreApplication::applicationFilePath();
    const QFileInfo executable(executablePath);
    const QString executableDirectory = executable.absolutePath();
    const QString baseName = executable.completeBaseName();
    SetUpApplication(app, edition, executableDirectory);
    // A second copy reads no settings and touches neither the tablet nor the
    // running copy's files: it brings the running copy to the front and ends.
    InstanceGuard guard(executablePath);
    if (guard.PreviousInstance()) {
        guard.WakeRunningCopy();
        return 0;
    }

    QtDialogs dialogs;
    const DataPlace data = ChooseDataDirectory(executableDirectory, baseName, edition);
    std::optional<DataDirectoryLock> dataLock;
    if (edition.autosave) {
        dataLock.emplace(data.directory);
        if (const QString refusal = HoldDataDirectory(*dataLock, data.directory);
            !refusal.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(refusal));
            dialogs.Notify(refusal);
            return 0;
        }
    }

    // The drawing on the on-screen pad, and where the operator put the pad or
    // the figure window, are kept in the window's settings file, beside the
    // window's own keys. Declared before the tablet library, which owns the
    // pad, and the figure window: they write what is pending as they go.
    SideWindowSettingsFile sideSettings(SettingsFilePath(data.directory, baseName));

    // The tablet library reaches the window's native handle through this.
    PadLinkChoice tablet = CreatePadLink([](QObject* window) -> quintptr {
        auto* widget = qobject_cast<QWidget*>(window);
        return widget != nullptr ? static_cast<quintptr>(widget->winId()) : 0;
    });
    const FigureDisplays figure = ShowFigureOn(tablet, sideSettings);
    // Where the program's windows open where the desktop puts them (Wayland
    // alone, or an X window manager that places them itself), a pad or
    // figure window of its own would go over the main window's controls: it
    // is shown inside the main window instead.
    if (!ProgramPlacesWindows()) {
        if (figure.pad != nullptr) figure.pad->SetDocked(true);
        if (figure.window) figure.window->SetDocked(true);
    }
#ifdef Q_OS_WIN
    WinSoundPlayer sound;
    // The title shows the version in the running executable's own resource,
    // so that it never differs from what the file's properties show.
    Edition shown = edition;
    if (const QString version = ExecutableVersion(executablePath); !version.isEmpty())
        shown.version = version;
#else
    LoadedSoundPlayer sound;
    const Edition& shown = edition;
#endif
    QtClipboard clipboard;

    frmTabServices services;
    services.tablet = tablet.library.get();
    services.sound = &sound;
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.executableDirectory = executableDirectory;
    services.executableBaseName = baseName;
    services.dataDirectory = data.directory;
    services.startupNotice = data.notice;
    DescribeTablet(services, tablet, figure.pad != nullptr);
    services.figure = figure.shown;
    if (PadWindow* pad = figure.pad) {
        services.pageSizeMm = [pad](const QString& file, int page) -> std::optional<QSizeF> {
            const PadDrawing* drawing = pad->Drawing();
            if (drawing == nullptr || drawing->Of().file != file || drawing->Of().page != page)
                return std::nullopt;
            return drawing->SizeMm();
        };
    }

    frmTab window(shown, services);
    dialogs.SetParent(&window);
    if (figure.window) figure.window->SetOwner(&window);
    if (figure.pad) figure.pad->onExportFigures = [&window] { window.ExportFigures(); };
    if (!window.Form_Load()) return 0;
    guard.OnWakeRequest([&window] {
        if (window.isMinimized()) window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    // Once the loop runs, after the pad has appeared: a notice about the
    // drawing then stands over it.
    if (PadWindow* pad = figure.pad) QTimer::singleShot(0, pad, [pad] { pad->RestoreDrawing(); });
    return app.exec();
}
