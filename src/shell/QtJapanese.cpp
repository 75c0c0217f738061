#include "shell/QtJapanese.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QTranslator* InstallQtJapanese(QCoreApplication& app, const QString& executableDirectory) {
    auto* translator = new QTranslator(&app);
    const QString places[] = {QDir(executableDirectory).filePath(QStringLiteral("translations")),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& place : places) {
        if (translator->load(QStringLiteral("qtbase_ja"), place) &&
            QCoreApplication::installTranslator(translator)) {
            return translator;
        }
    }
    delete translator;
    return nullptr;
}
