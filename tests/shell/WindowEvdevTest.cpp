// A recorded pen session played through the real Linux tablet library into
// the real window: the operator chooses "なぞり面積" and presses "計測開始"
// (which no outside process can do), then traces a square on the tablet.

#ifdef __linux__

#include <QAbstractButton>
#include <QFile>
#include <QRadioButton>
#include <QTest>

#include "EvdevPadLink.h"
#include "EvemuPlayer.h"
#include "EvemuRecording.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"

TEST(WindowEvdev, traced_square_gives_its_area_in_the_grid_and_the_autosave) {
    EvdevPadLink pad(std::make_unique<EvemuPlayer>(
        EvemuRecording::Read(QStringLiteral(KALVOR_TEST_DATA "/square-traced.evemu"))));
    WindowFixture f;
    f.services.tablet = &pad;
    f.Start();

    // Both clicks happen before the recording's first event is due.
    auto* option = f.Find<QRadioButton>(QStringLiteral("optMes(2)"));
    auto* start = f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)"));
    ASSERT_TRUE(option && start);
    QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_EQ(f.window->Engine().lMesMode, 4);

    // 800 × 800 counts at "10" over "800": 100 square units, from the 18
    // points of one stroke, measured when its last point arrived.
    QFile save(f.Path(QStringLiteral("Save.csv")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return save.exists(); }, 5000));
    ASSERT_TRUE(save.open(QIODevice::ReadOnly));
    EXPECT_EQ(save.readAll(), QByteArray("100.00\r\n"));
    EXPECT_EQ(f.window->Grid().TextMatrix(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(f.sound.Plays(), 1);
    f.Stop();
}

#endif
