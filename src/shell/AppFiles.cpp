#include "shell/AppFiles.h"

#include "files/AtomicFile.h"
#include "shell/IniFile.h"
#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
bool CanCreateFileIn(const QString& directory) {
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".kalvor-probe-XXXXXX")));
    return probe.open();
}

// A program installed by the system's package manager lives among other
// programs: even where it could write there (run by root), its files belong
// to the operator, not beside the executable.
bool IsSystemProgramDirectory(const QString& directory) {
#ifdef Q_OS_WIN
    // The program folders and the system folder, wherever this system keeps them.
    const QString path = QDir::cleanPath(QDir(directory).absolutePath());
    for (const char* variable :
         {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"}) {
        const QString root =
            QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(variable)));
        if (root.isEmpty() || root == QLatin1String(".")) continue;
        if (path.compare(root, Qt::CaseInsensitive) == 0 ||
            path.startsWith(root + QLatin1Char('/'), Qt::CaseInsensitive))
            return true;
    }
    return false;
#else
    const QString path = QDir(directory).canonicalPath();
    for (const char* prefix : {"/usr", "/bin", "/sbin"}) {
        const QString p = QString::fromLatin1(prefix);
        if (path == p || path.startsWith(p + QLatin1Char('/'))) return true;
    }
    return false;
#endif
}
}  // namespace

QString ResolveDataDirectory(const QString& executableDirectory) {
    if (!IsSystemProgramDirectory(executableDirectory) && CanCreateFileIn(executableDirectory))
        return executableDirectory;
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (fallback.isEmpty()) return executableDirectory;
    QDir().mkpath(fallback);
    return fallback;
}

QString AppFilePath(const QString& directory, const QString& fileName) {
#ifdef Q_OS_WIN
    // A Windows path as the operator reads it: backslashes throughout, and
    // none doubled after a drive's root, which already ends with one.
    const QString native = QDir::toNativeSeparators(directory);
    if (native.endsWith(QLatin1Char('\\'))) return native + fileName;
    return native + QLatin1Char('\\') + fileName;
#else
    if (directory.endsWith(QLatin1Char('/')) || directory.endsWith(QLatin1Char('\\')))
        return directory + fileName;
    return directory + QLatin1Char('/') + fileName;
#endif
}

QString SettingsFilePath(const QString& directory, const QString& executableBaseName) {
    return AppFilePath(directory, executableBaseName + QStringLiteral(".INI"));
}

bool PreparePerUserDirectory(const QString& dataDirectory, const QString& executableDirectory,
                             const QString& executableBaseName) {
    if (QDir(dataDirectory) == QDir(executableDirectory)) return false;
    const QString mine = SettingsFilePath(dataDirectory, executableBaseName);
    if (QFileInfo::exists(mine)) return false;
    const QString beside = SettingsFilePath(executableDirectory, executableBaseName);
    // Read as any settings file is: bounded, and only a regular file.
    const FileReadResult read = ReadRegularFile(beside, IniFile::kMaxBytes, Links::Follow);
    if (read.Ok()) WriteFileAtomically(mine, read.bytes);
    return true;
}

bool RunMarkerPresent(const QString& path) { return KindAt(path) == FileKind::Regular; }

bool CreateRunMarker(const QString& path, QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    switch (KindAt(path)) {
        case FileKind::Regular:
            // The marker of a run that did not end normally stays as it
            // stands: only its existence counts, and removed to be made again
            // it would be missing for a moment, in which a kill would cost the
            // next start its recovery.
            return true;
        case FileKind::Link:
            return fail(QStringLiteral("シンボリックリンクになっているため使いません"));
        case FileKind::Other:
            return fail(QStringLiteral("通常のファイルではありません"));
        case FileKind::Missing:
            break;
    }
    // Created new, never opened through whatever may have been put in its
    // place since.
    QFile marker(path);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return fail(marker.errorString());
    if (marker.write("err\r\n") != 5 || !marker.flush()) return fail(marker.errorString());
    return true;
}
