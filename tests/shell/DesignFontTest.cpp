// The design's fonts come to what this system has installed.

#include "shell/DesignFont.h"

#include "QStringPrinter.h"

#include <QFontDatabase>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(DesignFont, goes_to_the_family_or_its_first_installed_substitute_or_keeps_the_name) {
    // An installed family named plainly, without its foundry in brackets.
    QString there;
    for (const QString& family : QFontDatabase::families())
        if (there.isEmpty() && !family.contains(u'[')) there = family;
    ASSERT_FALSE(there.isEmpty());
    const QString design = QStringLiteral("Kalvor Design Font");
    const QString missing = QStringLiteral("Kalvor Missing Font");
    QFont::insertSubstitutions(design, {missing, there});
    struct Case {
        QString asked;
        QString family;
    };
    for (const Case& c : {Case{design, there}, Case{there, there}, Case{missing, missing}}) {
        const QFont font = DesignFont(c.asked, 9);
        // Substitutes are kept in lower case; families match whatever the case.
        EXPECT_EQ(font.family().toLower(), c.family.toLower()) << c.asked.toStdString();
        EXPECT_EQ(font.pointSize(), 9);
    }
    QFont::removeSubstitutions(design);
}

}  // namespace
