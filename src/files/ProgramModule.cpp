#include "files/ProgramModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <memory>
#include <vector>

QFunctionPointer ProgramModule::Resolve(const char* entry, QString& why) const {
    const QString executableFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    QStringList candidates = {QDir(executableFolder).filePath(fromExecutable + u'/' + fileName)};
    if (!buildTree.isEmpty() && executableFolder.startsWith(QDir::cleanPath(buildTree) + u'/'))
        candidates.push_back(built);
    why = QStringLiteral("%1 が見つかりません").arg(fileName);
    // Held to the end of the process: what a module made may live that
    // long (QLibrary never unloads on its own).
    static std::vector<std::unique_ptr<QLibrary>> loaded;
    for (const QString& path : candidates) {
        if (!QFile::exists(path)) continue;
        auto library = std::make_unique<QLibrary>(path);
        if (const QFunctionPointer function = library->resolve(entry)) {
            loaded.push_back(std::move(library));
            return function;
        }
        why = library->errorString();
    }
    return nullptr;
}
