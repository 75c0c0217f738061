#include <gtest/gtest.h>

#include <QLocale>
#include <functional>
#include <limits>

#include "FakeMeasureHost.h"
#include "FakePadLink.h"
#include "MeasureEngine.h"
#include "QStringPrinter.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Option indexes of optMes.
enum Option {
    kTwoPoint = 0,
    kPickedArea = 1,
    kTracedArea = 2,
    kPickedLength = 3,
    kTracedLength = 4,
    kCoordinate = 5
};

class Engine : public ::testing::Test {
  protected:
    explicit Engine(MeasureEngine::Options options = {}) : engine(pad, host, options) {
        host.store = &engine.points;
        // Scale texts are read with the locale's conventions, and the
        // calibration writes "######.00": the Japanese systems it is used on.
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    }
    ~Engine() override { QLocale::setDefault(savedLocale); }

    void Start(int option) {
        host.selected = option;
        engine.cmdMes_Click(0);
    }
    void Choose(int option) {
        host.selected = option;
        engine.optMes_Click(option);
    }
    void Pick(std::int32_t x, std::int32_t y, std::int32_t strokeEnd = 0) {
        pad.PushPick(x, y, strokeEnd);
        engine.GetWintab(0, 0);
    }
    void Side() {
        pad.PushSide();
        engine.GetWintab(0, 0);
    }
    std::vector<double> Values() const {
        std::vector<double> values;
        for (const auto& put : host.puts) {
            values.push_back(put.value);
        }
        return values;
    }

    QLocale savedLocale;
    FakePadLink pad;
    FakeMeasureHost host;
    MeasureEngine engine;
};

class ReducedEngine : public Engine {
  protected:
    ReducedEngine() : Engine(MeasureEngine::Options{false, false}) {}
};

}  // namespace

// ---- intake ----

TEST_F(Engine, nothing_waiting_lists_stores_and_plays_nothing) {
    Start(kPickedArea);
    pad.ScriptWintab(0);
    engine.GetWintab(0, 0);
    EXPECT_EQ(pad.getDataCalls, 0);
    EXPECT_TRUE(host.listed.empty());
    EXPECT_EQ(engine.points.lPointCount, 0);
    EXPECT_EQ(engine.points.lPointMax, 0);
    EXPECT_EQ(host.sounds, 0);
}

TEST_F(Engine, side_switch_without_a_run_calculates_but_plays_no_sound) {
    for (auto [x, y] : {std::pair{0, 0}, {400, 0}, {400, 400}}) {
        Pick(x, y, 1);
    }
    EXPECT_EQ(engine.points.lPointCount, 3) << "points are stored with no run";
    Side();
    EXPECT_EQ(Values(), std::vector<double>{0.5});
    EXPECT_TRUE(host.puts[0].advance);
    EXPECT_EQ(engine.points.lPointCount, 0);
    EXPECT_EQ(host.sounds, 0);
    EXPECT_EQ(pad.getDataCalls, 3);
}

TEST_F(Engine, empty_library_queue_ends_the_fetch_early) {
    Start(kPickedArea);
    pad.PushPick(1, 2);
    pad.PushPick(3, 4);
    pad.ScriptWintab(3);
    pad.ScriptDataCnt(0);
    engine.GetWintab(0, 0);
    EXPECT_EQ(pad.getDataCalls, 1);
    EXPECT_EQ(host.listed.size(), 1u);
    EXPECT_EQ(engine.points.lPointCount, 1);
    EXPECT_EQ(pad.Queued(), 1u);
}

TEST_F(Engine, received_point_is_listed_with_its_log_coordinates) {
    pad.PushPoint({-12, 40, 5, 6, 0});
    engine.GetWintab(0, 0);
    ASSERT_EQ(host.listed.size(), 1u);
    EXPECT_EQ(host.listed[0], QStringLiteral("取得座標データ   x=-12  y=40"));
    EXPECT_EQ(engine.points.lPointX[0], 5) << "the pen coordinates are measured";
    EXPECT_EQ(engine.points.lPointY[0], 6);
    EXPECT_EQ(engine.points.lPointMax, 100) << "the first point creates the arrays";
}

TEST_F(Engine, sound_marks_stroke_ends_and_side_switch_in_a_running_mode) {
    struct Row {
        bool run;
        bool side;
        std::int32_t strokeEnd;
        int sounds;
    };
    const Row rows[] = {
        {false, false, 1, 0}, {false, true, 0, 0}, {true, false, 0, 0},
        {true, false, 1, 1},  {true, true, 0, 1},
    };
    for (const Row& row : rows) {
        FakePadLink pad2;
        FakeMeasureHost host2;
        MeasureEngine engine2(pad2, host2, {});
        host2.store = &engine2.points;
        if (row.run) {
            host2.selected = kPickedLength;
            engine2.cmdMes_Click(0);
        }
        if (row.side) {
            pad2.PushSide();
        } else {
            pad2.PushPick(1, 1, row.strokeEnd);
        }
        engine2.GetWintab(0, 0);
        EXPECT_EQ(host2.sounds, row.sounds)
            << "run " << row.run << " side " << row.side << " end " << row.strokeEnd;
    }
}

// ---- two-point distance ----

TEST_F(Engine, two_point_distance_follows_the_axis_choice) {
    struct Row {
        int axis;
        double expected;
    };
    for (const Row row : {Row{0, 1.25}, Row{1, 0.75}, Row{2, 1.0}, Row{-1, 1.25}}) {
        host.puts.clear();
        host.axis = row.axis;
        Start(kTwoPoint);
        Pick(100, 200);
        Pick(400, 600);
        ASSERT_EQ(host.puts.size(), 1u) << "axis " << row.axis;
        EXPECT_DOUBLE_EQ(host.puts[0].value, row.expected) << "axis " << row.axis;
        EXPECT_TRUE(host.puts[0].advance);
        EXPECT_EQ(engine.points.lPointCount, 0);
    }
}

TEST_F(Engine, two_point_distance_leaves_later_picks_in_the_library) {
    Start(kTwoPoint);
    pad.PushPick(0, 0);
    pad.PushPick(300, 400);
    pad.PushPick(9, 9);
    engine.GetWintab(0, 0);
    EXPECT_EQ(Values(), std::vector<double>{1.25});
    EXPECT_EQ(pad.Queued(), 1u);
    EXPECT_EQ(engine.points.lPointCount, 0);
}

TEST_F(Engine, side_switch_after_one_pick_discards_it) {
    Start(kTwoPoint);
    Pick(0, 0);
    Side();
    EXPECT_TRUE(host.puts.empty());
    EXPECT_EQ(engine.points.lPointCount, 0);
    EXPECT_EQ(host.sounds, 1);
    // The next two picks make a figure of their own.
    Pick(0, 0);
    Pick(400, 0);
    EXPECT_EQ(Values(), std::vector<double>{1.0});
}

TEST_F(Engine, two_point_distance_without_usable_scale_is_skipped_and_picks_dropped) {
    for (const char* counts : {"0", "abc"}) {
        host.tabletCounts = QString::fromLatin1(counts);
        Start(kTwoPoint);
        Pick(0, 0);
        Pick(400, 0);
        EXPECT_TRUE(host.puts.empty()) << counts;
        EXPECT_EQ(engine.points.lPointCount, 0) << counts;
    }
    host.tabletCounts = QStringLiteral("400");
    Pick(0, 0);
    Pick(0, 800);
    EXPECT_EQ(Values(), std::vector<double>{2.0});
}

// ---- coordinate point ----

TEST_F(Engine, coordinate_pick_writes_x_and_y_from_the_origin) {
    Start(kCoordinate);
    host.nextIsOrigin = true;
    Pick(1000, 2000);
    EXPECT_FALSE(host.nextIsOrigin);
    EXPECT_EQ(engine.lOrgX, 1000);
    EXPECT_EQ(engine.lOrgY, 2000);
    EXPECT_EQ(host.gridLog, (std::vector<QString>{"put 0", "move", "put 0", "move"}));
    EXPECT_EQ(host.moves, (std::vector<FakeMeasureHost::Move>{{1, 0, 0}, {-1, 1, 2}}));
    EXPECT_FALSE(host.puts[0].advance);
    EXPECT_FALSE(host.puts[1].advance);

    Pick(1400, 2400);
    EXPECT_EQ(Values(), (std::vector<double>{0, 0, 1, 1}));

    host.invertX = true;
    Pick(1400, 2400);
    host.invertX = false;
    host.invertY = true;
    Pick(1400, 2400);
    EXPECT_EQ(Values(), (std::vector<double>{0, 0, 1, 1, -1, 1, 1, -1}));
    EXPECT_EQ(engine.points.lPointCount, 0);
}

TEST_F(Engine, coordinate_without_usable_scale_still_moves_and_drops_the_pick) {
    host.tabletCounts = QStringLiteral("0");
    Start(kCoordinate);
    Pick(400, 400);
    EXPECT_TRUE(host.puts.empty());
    EXPECT_EQ(host.moves.size(), 2u);
    EXPECT_EQ(engine.points.lPointCount, 0);
    host.tabletCounts = QStringLiteral("400");
    Pick(800, 1200);
    EXPECT_EQ(Values(), (std::vector<double>{2, 3})) << "the new pick is read, not the old one";
}

TEST_F(Engine, coordinate_overflowing_32_bits_skips_only_that_axis) {
    Start(kCoordinate);
    host.nextIsOrigin = true;
    Pick(kMin, 0);
    host.gridLog.clear();
    Pick(kMax, 400);
    EXPECT_EQ(host.gridLog, (std::vector<QString>{"move", "put 1", "move"}));
    // Inverting the most negative difference overflows too.
    host.nextIsOrigin = true;
    Pick(0, 0);
    host.invertX = true;
    host.gridLog.clear();
    Pick(kMin, 400);
    EXPECT_EQ(host.gridLog, (std::vector<QString>{"move", "put 1", "move"}));
}

// ---- picked and traced figures ----

TEST_F(Engine, traced_area_is_written_at_the_stroke_end_and_later_points_start_anew) {
    Start(kTracedArea);
    EXPECT_EQ(pad.setModeCalls.back(), 1);
    pad.PushStroke({{0, 0}, {400, 0}, {400, 400}, {0, 400}});
    pad.PushPick(5, 5);
    pad.PushPick(6, 6);
    engine.GetWintab(0, 0);
    EXPECT_EQ(Values(), std::vector<double>{1.0});
    EXPECT_EQ(engine.points.lPointCount, 2);
    EXPECT_EQ(engine.points.lPointX[0], 5);
    EXPECT_EQ(host.sounds, 0) << "the last point fetched did not end a stroke";
}

TEST_F(Engine, picked_figure_ends_by_hand_even_after_stop) {
    Start(kPickedLength);
    Pick(0, 0);
    Pick(400, 0);
    Pick(400, 400);
    EXPECT_TRUE(host.puts.empty());
    engine.cmdMes_Click(1);
    EXPECT_EQ(host.startEnabled, true);
    EXPECT_EQ(engine.lMesMode, kMesNone);
    EXPECT_EQ(engine.points.lPointCount, 3) << "a stop keeps the points";
    engine.CalcLengthArea();  // F12
    EXPECT_EQ(Values(), std::vector<double>{2.0});
    EXPECT_EQ(engine.points.lPointCount, 0);
}

// ---- runs and options ----

TEST_F(Engine, start_sets_mode_library_input_and_length_flag_by_option) {
    struct Row {
        int option;
        std::int32_t mode;
        std::int32_t libraryMode;
        bool length;
    };
    const Row rows[] = {
        {0, kMesTwoPoint, 0, true}, {1, kMesPicked, 0, false}, {2, kMesTraced, 1, false},
        {3, kMesPicked, 0, true},   {4, kMesTraced, 1, true},  {5, kMesCoordinate, 0, false},
    };
    for (const Row& row : rows) {
        Pick(1, 1);
        Start(row.option);
        EXPECT_EQ(engine.lMesMode, row.mode) << row.option;
        EXPECT_EQ(pad.setModeCalls.back(), row.libraryMode) << row.option;
        EXPECT_EQ(engine.bLengthMode, row.length) << row.option;
        EXPECT_EQ(engine.points.lPointCount, 0) << row.option;
        EXPECT_EQ(host.startEnabled, false);
    }
    EXPECT_EQ(host.focusCalls, 6);
}

TEST_F(Engine, choosing_an_option_without_a_run_changes_only_the_guidance) {
    Pick(1, 1);
    Choose(kTracedArea);
    Choose(kCoordinate);
    EXPECT_TRUE(pad.setModeCalls.empty());
    EXPECT_EQ(engine.lMesMode, kMesNone);
    EXPECT_EQ(engine.points.lPointCount, 1);
    EXPECT_EQ(host.guidance.size(), 2u);
    EXPECT_EQ(host.originBoxVisible, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(host.focusCalls, 0);
}

TEST_F(Engine, choosing_an_option_during_a_run_restarts_it) {
    Start(kTwoPoint);
    Pick(1, 1);
    Choose(kTracedLength);
    EXPECT_EQ(engine.lMesMode, kMesTraced);
    EXPECT_EQ(pad.setModeCalls, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(engine.points.lPointCount, 0);
    EXPECT_EQ(host.startEnabled, false);
    EXPECT_EQ(host.focusCalls, 2);
    EXPECT_TRUE(engine.bLengthMode);
}

TEST_F(Engine, guidance_texts) {
    host.axisText = QStringLiteral("横距離のみ （X軸）");
    const QString twoPoint = QStringLiteral(
        "タブレットで、２点をクリックしてください。\r\n２点目の後で、計算を行います。\r\n\r\n"
        "※注意 設定は「 横距離のみ （X軸） 」です。");
    const QString picked = QStringLiteral(
        "タブレットで、多数の点をクリックしてください。\r\n"
        "F12キーか、ペンのサイドスイッチで計算を行います。\r\n"
        "サイドスイッチは、ペンを浮かせたまま押してください。");
    const QString traced = QStringLiteral(
        "タブレットでペンを押したまま、計る範囲をドラッグ\r\n"
        "してください。ドラッグ終了後に計算を行います。");
    const QString coordinate = QStringLiteral(
        "タブレットでクリックした点の座標を表示します。\r\nある点を原点にしたい場合は、\r\n"
        "「次点を原点にする」をチェックしてください。");
    const QString expected[] = {twoPoint, picked, traced, picked, traced, coordinate};
    for (int option = 0; option <= 5; ++option) {
        Choose(option);
        EXPECT_EQ(host.guidance.back(), expected[option]) << option;
    }
}

TEST_F(ReducedEngine, guidance_for_two_points_has_no_note_and_no_coordinate_mode) {
    Choose(kTwoPoint);
    EXPECT_EQ(host.guidance.back(),
              QStringLiteral(
                  "タブレットで、２点をクリックしてください。\r\n２点目の後で、計算を行います。"));
    Choose(kPickedArea);
    EXPECT_EQ(host.guidance.size(), 2u);
    EXPECT_TRUE(engine.GuidanceText(kCoordinate).isEmpty());
    EXPECT_TRUE(host.originBoxVisible.empty()) << "the reduced edition has no chkOrgPos";
    Start(kCoordinate);
    EXPECT_EQ(engine.lMesMode, kMesNone);
    EXPECT_TRUE(pad.setModeCalls.empty());
}

// ---- scale calibration ----

TEST_F(Engine, calibration_writes_the_tablet_distance_in_counts) {
    struct Row {
        std::int32_t x;
        std::int32_t y;
        const char* text;
    };
    for (const Row row :
         {Row{400, 0, "400.00"}, Row{0, 0, ".00"}, Row{300, 400, "500.00"}, Row{1, 1, "1.41"}}) {
        engine.cmdScale_Click();
        EXPECT_TRUE(host.calibrationNotice);
        EXPECT_EQ(engine.lMesMode, kMesCalibration);
        Pick(0, 0);
        Pick(row.x, row.y);
        EXPECT_EQ(host.tabletCounts, QString::fromLatin1(row.text));
        EXPECT_FALSE(host.calibrationNotice);
        EXPECT_EQ(engine.lMesMode, kMesNone);
    }
    EXPECT_EQ(pad.setModeCalls, (std::vector<std::int32_t>(4, 0)))
        << "returning to no run sends no mode";
    EXPECT_TRUE(host.puts.empty());
}

TEST_F(Engine, calibration_during_traced_run_returns_to_it_with_stroke_input) {
    Start(kTracedArea);
    engine.cmdScale_Click();
    EXPECT_EQ(pad.setModeCalls.back(), 0);
    EXPECT_EQ(host.startEnabled, false) << "a calibration leaves the buttons";
    pad.PushPick(0, 0);
    pad.PushPick(800, 0, 1);
    engine.GetWintab(0, 0);
    EXPECT_EQ(host.tabletCounts, QStringLiteral("800.00"));
    EXPECT_EQ(engine.lMesMode, kMesTraced);
    EXPECT_EQ(pad.setModeCalls.back(), 1);
    EXPECT_EQ(engine.points.lPointCount, 0) << "calibration points join no figure";
    EXPECT_EQ(host.sounds, 1) << "the last point ended a stroke; entry mode was 1";

    // The next stroke is a figure of its own, on the new scale.
    pad.PushStroke({{0, 0}, {800, 0}, {800, 800}, {0, 800}});
    engine.GetWintab(0, 0);
    ASSERT_EQ(host.puts.size(), 1u);
    EXPECT_DOUBLE_EQ(host.puts[0].value, 1.0);
}

TEST_F(Engine, calibration_during_two_point_run_leaves_the_next_two_picks_for_a_distance) {
    host.referenceLength = QStringLiteral("10");
    Start(kTwoPoint);
    Pick(5, 5);
    engine.cmdScale_Click();
    EXPECT_EQ(engine.points.lPointCount, 0);
    Pick(0, 0);
    Pick(0, 500);
    EXPECT_EQ(host.tabletCounts, QStringLiteral("500.00"));
    EXPECT_EQ(engine.lMesMode, kMesTwoPoint);
    EXPECT_EQ(pad.setModeCalls, (std::vector<std::int32_t>{0, 0, 0}));
    Pick(100, 100);
    EXPECT_TRUE(host.puts.empty());
    Pick(100, 1100);
    EXPECT_EQ(Values(), std::vector<double>{20.0});
}

TEST_F(Engine, second_calibration_press_still_returns_to_the_run) {
    Start(kTracedLength);
    engine.cmdScale_Click();
    engine.cmdScale_Click();
    Pick(0, 0);
    Pick(400, 0);
    EXPECT_EQ(engine.lMesMode, kMesTraced);
    EXPECT_EQ(pad.setModeCalls.back(), 1);
}

TEST_F(Engine, abandoned_calibration_hides_its_notice) {
    const std::function<void()> abandon[] = {
        [&] { Start(kPickedArea); },
        [&] { engine.cmdMes_Click(1); },
        [&] { Choose(kTracedArea); },
    };
    for (const auto& action : abandon) {
        Start(kTwoPoint);
        engine.cmdScale_Click();
        Pick(0, 0);
        action();
        EXPECT_FALSE(host.calibrationNotice);
        EXPECT_NE(engine.lMesMode, kMesCalibration);
        // A calibration started later shows it again and ends normally.
        engine.cmdScale_Click();
        EXPECT_TRUE(host.calibrationNotice);
        Pick(0, 0);
        Pick(400, 0);
        EXPECT_FALSE(host.calibrationNotice);
    }
}
