// The drawing's scale and the vertical factor as the settings file keeps
// them: nothing written until used, every key read back, a value that is of
// no use left for its default.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "FileBytes.h"
#include "QStringPrinter.h"
#include "shell/Common.h"
#include "shell/ScaleMemory.h"

namespace {

struct ScaleMemoryTest : ::testing::Test {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Kalvor.INI"));
    Common settings{ini};
};

TEST_F(ScaleMemoryTest, nothing_is_written_until_used_then_every_key_reads_back) {
    ScaleMemory unused(settings);
    unused.Restore();
    unused.Write();
    EXPECT_FALSE(FileBytes(ini).has_value());

    DrawingScale scale;
    scale.ratio = 500;
    scale.unit = QStringLiteral("m");
    scale.areaUnit = QStringLiteral("ha");
    scale.countsPerMm = 200;
    scale.verticalRatio = 250;
    ScaleMemory used(settings);
    used.Choose(scale);
    used.Write();
    for (const char* line : {"\r\nScaleRatio=500\r\n", "\r\nScaleUnit=m\r\n",
                             "\r\nScaleAreaUnit=ha\r\n", "\r\nScaleCounts=200\r\n",
                             "\r\nScaleVerticalRatio=250\r\n", "\r\nVerticalFactor=0.5\r\n"}) {
        EXPECT_TRUE(ReadBytes(ini).contains(line)) << line;
    }

    ScaleMemory again(settings);
    again.Restore();
    EXPECT_TRUE(again.UnitApplies(QStringLiteral("500")));
    EXPECT_FALSE(again.UnitApplies(QStringLiteral("50"))) << "a reference typed by hand";
    EXPECT_EQ(again.Scale().areaUnit, QStringLiteral("ha"));
    EXPECT_EQ(again.Scale().verticalRatio, 250);
    EXPECT_EQ(again.VerticalLine(), QStringLiteral("※縦横別縮尺\n縦 × 0.5"));
}

TEST_F(ScaleMemoryTest, a_value_of_no_use_keeps_its_default) {
    for (const auto& [key, value] : {std::pair{"ScaleRatio", "-5"},
                                     {"ScaleUnit", "yd"},
                                     {"ScaleCounts", "x"},
                                     {"VerticalFactor", "0"}}) {
        settings.WriteSetting(kWindowSection, QString::fromUtf8(key), QString::fromUtf8(value));
    }
    ScaleMemory read(settings);
    read.Restore();
    EXPECT_FALSE(read.UnitApplies(read.Scale().ReferenceText()));
    EXPECT_EQ(read.Scale().countsPerMm, 0);
    EXPECT_EQ(read.VerticalFactor(), 1.0);
    EXPECT_TRUE(read.VerticalLine().isEmpty());
}

}  // namespace
