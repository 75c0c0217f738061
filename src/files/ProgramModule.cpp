#include "files/ProgramModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <memory>
#include <vector>

namespace {

QStringList Candidates(const ProgramModule& module) {
    const QString executableFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    QStringList candidates = {
        QDir(executableFolder).filePath(module.fromExecutable + u'/' + module.fileName)};
    if (!module.buildTree.isEmpty() &&
        executableFolder.startsWith(QDir::cleanPath(module.buildTree) + u'/'))
        candidates.push_back(module.built);
    return candidates;
}

}  // namespace

QString ProgramModule::Locate(QString& why) const {
    for (const QString& path : Candidates(*this))
        if (QFile::exists(path)) return QDir::cleanPath(path);
    why = QStringLiteral("%1 が見つかりません").arg(fileName);
    return {};
}

QFunctionPointer ProgramModule::Resolve(const char* entry, QString& why) const {
    const QStringList candidates = Candidates(*this);
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
