#include "ProgramModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>

QFunctionPointer ProgramModule::Resolve(const char* entry, QString& why) const {
    const QString executableFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    QStringList candidates = {QDir(executableFolder).filePath(fromExecutable + u'/' + fileName)};
    if (!buildTree.isEmpty() && executableFolder.startsWith(QDir::cleanPath(buildTree) + u'/'))
        candidates.push_back(built);
    why = QStringLiteral("%1 が見つかりません").arg(fileName);
    for (const QString& path : candidates) {
        if (!QFile::exists(path)) continue;
        auto* library = new QLibrary(path);
        if (const QFunctionPointer function = library->resolve(entry)) return function;
        why = library->errorString();
        delete library;
    }
    return nullptr;
}
