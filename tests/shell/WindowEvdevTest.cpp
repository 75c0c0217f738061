// A recorded pen session played through the real Linux tablet library into
// the real window: the operator chooses "なぞり面積" and presses "計測開始"
// (which no outside process can do), then traces a square on the tablet.

#ifdef __linux__

#include <linux/input.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "tablet/evdev/EvdevInput.h"
#include "tablet/evdev/EvemuPlayer.h"
#include "tablet/evdev/EvemuRecording.h"
#include "FileBytes.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"

TEST(WindowEvdev, traced_square_gives_its_area_in_the_grid_and_the_autosave) {
    QueuedPadLink pad;
    pad.AddInput(std::make_unique<EvdevInput>(std::make_unique<EvemuPlayer>(
        EvemuRecording::Read(QStringLiteral(KALVOR_TEST_DATA "/square-traced.evemu")))));
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(f.Path("Save.csv")); }, 5000));
    EXPECT_EQ(f.Autosave(), QByteArray("100.00\r\n"));
    EXPECT_EQ(f.window->Grid().TextMatrix(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(f.sound.Plays(), 1);
    f.Stop();
}

namespace {

// hid-pen.evemu's device (X from 200 at 100 counts/mm, Y from 0 at 80) with
// events of our own: picks and traced strokes at places given in millimetres.
class MillimetrePen {
  public:
    MillimetrePen() {
        for (const QByteArray& line : ReadBytes(KALVOR_TEST_DATA "/hid-pen.evemu").split('\n'))
            if (!line.startsWith("E:")) header_ += line + '\n';
    }
    void Pick(int xMm, int yMm) {
        Move(xMm, yMm);
        Key(BTN_TOUCH, 1);
        Key(BTN_TOUCH, 0);
    }
    void Trace(const std::vector<std::pair<int, int>>& mm) {
        Move(mm.front().first, mm.front().second);
        Key(BTN_TOUCH, 1);
        for (const auto& [x, y] : mm) Move(x, y);
        Key(BTN_TOUCH, 0);
    }
    // A recording of all so far, every event due at once.
    EvemuRecording Recording() const {
        return EvemuRecording::Parse(QString::fromLatin1(header_ + events_), QStringLiteral("pen"));
    }

  private:
    void Event(int type, int code, int value) {
        events_ += QStringLiteral("E: 0.000001 %1 %2 %3\n")
                       .arg(type, 4, 16, QLatin1Char('0'))
                       .arg(code, 4, 16, QLatin1Char('0'))
                       .arg(value)
                       .toLatin1();
    }
    void Move(int xMm, int yMm) {
        Event(EV_KEY, BTN_TOOL_PEN, 1);
        Event(EV_ABS, ABS_X, 200 + xMm * 100);
        Event(EV_ABS, ABS_Y, yMm * 80);
        Event(EV_SYN, SYN_REPORT, 0);
    }
    void Key(int code, int value) {
        Event(EV_KEY, code, value);
        Event(EV_SYN, SYN_REPORT, 0);
    }

    QByteArray header_;
    QByteArray events_;
};

}  // namespace

// X counts 100 and Y 80 a millimetre: once both are in one count, 10 mm is
// 10 mm either way and a 10 mm square is 100 square millimetres, with the
// scale "10" over "1000" counts. The counts are evened out before any mode
// sees them: a distance up, a traced area and coordinates stand for all.
TEST(WindowEvdev, unequal_axes_measure_true_lengths_areas_and_coordinates) {
    QueuedPadLink pad;
    WindowFixture f;
    f.services.tablet = &pad;
    f.Start();
    f.Find<QLineEdit>(QStringLiteral("txtInput(3)"))->setText(QStringLiteral("1000"));
    const std::vector<std::pair<int, int>> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    struct Case {
        int option;
        std::function<void(MillimetrePen&)> draw;
        QStringList cells;
    };
    const std::vector<Case> cases = {
        {0, [](MillimetrePen& p) { p.Pick(0, 0), p.Pick(0, 10); }, {QStringLiteral("10.00")}},
        {2, [&](MillimetrePen& p) { p.Trace(square); }, {QStringLiteral("100.00")}},
        {5,
         [](MillimetrePen& p) { p.Pick(0, 0), p.Pick(10, 10); },
         {QStringLiteral(".00"), QStringLiteral(".00"), QStringLiteral("10.00"),
          QStringLiteral("10.00")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        f.window->ClearGrid();
        f.Find<QRadioButton>(QStringLiteral("optMes(%1)").arg(c.option))->setChecked(true);
        if (c.option == 5) f.Find<QCheckBox>(QStringLiteral("chkOrgPos"))->setChecked(true);
        QTest::mouseClick(f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)")), Qt::LeftButton);
        MillimetrePen pen;
        c.draw(pen);
        pad.AddInput(
            std::make_unique<EvdevInput>(std::make_unique<EvemuPlayer>(pen.Recording(), 0)));
        QStringList cells;
        (void)QTest::qWaitFor(
            [&] {
                cells.clear();
                for (int row = 1; row <= 2; ++row)
                    for (int col = 1; col <= 2; ++col)
                        if (!f.window->Grid().TextMatrix(row, col).isEmpty())
                            cells << f.window->Grid().TextMatrix(row, col);
                return cells.size() >= c.cells.size();
            },
            3000);
        EXPECT_EQ(cells, c.cells);
    }
    f.Stop();
}

#endif
