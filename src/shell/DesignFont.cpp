#include "shell/DesignFont.h"

#include <QFontDatabase>
#include <QStringList>

QFont DesignFont(const QString& family, int pointSize) {
    if (!QFontDatabase::hasFamily(family)) {
        for (const QString& substitute : QFont::substitutes(family)) {
            if (QFontDatabase::hasFamily(substitute)) return QFont(substitute, pointSize);
        }
    }
    return QFont(family, pointSize);
}
