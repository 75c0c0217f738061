#include <gtest/gtest.h>

#include <QLocale>
#include <functional>
#include <limits>
#include <tuple>

#include "DefaultLocale.h"
#include "FakeMeasureHost.h"
#include "FakePadLink.h"
#include "measure/MeasureEngine.h"
#include "QStringPrinter.h"

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Option indexes of optMes.
enum Option { kTwoPoint, kPickedArea, kTracedArea, kPickedLength, kTracedLength, kCoordinate };

// An engine wired to a scripted library and a stand-in window.
struct Rig {
    explicit Rig(MeasureEngine::Options options = {}) : engine(pad, host, options) {
        host.store = &engine.points;
    }
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

    FakePadLink pad;
    FakeMeasureHost host;
    MeasureEngine engine;
};

class Engine : public ::testing::Test, protected Rig {
  protected:
    explicit Engine(MeasureEngine::Options options = {}) : Rig(options) {}

    // Scale texts are read with the locale's conventions, and the
    // calibration writes "######.00": the Japanese systems it is used on.
    DefaultLocale japanese;
};

class ReducedEngine : public Engine {
  protected:
    ReducedEngine() : Engine(MeasureEngine::Options{false, false}) {}
};

}  // namespace

// ---- intake ----

TEST_F(Engine, fetch_takes_no_more_points_than_the_library_reports) {
    Start(kPickedArea);
    pad.PushPick(1, 2, 1);
    pad.PushPick(3, 4);
    pad.ScriptWintab(0);
    engine.GetWintab(0, 0);
    EXPECT_EQ(pad.getDataCalls, 0);
    EXPECT_TRUE(host.listed.empty());
    EXPECT_EQ(engine.points.lPointMax, 0);
    EXPECT_EQ(host.sounds, 0);

    pad.ScriptWintab(3);
    pad.ScriptDataCnt(0);  // the queue ran dry after the first point
    engine.GetWintab(0, 0);
    EXPECT_EQ(pad.getDataCalls, 1);
    EXPECT_EQ(host.listed.size(), 1u);
    EXPECT_EQ(engine.points.lPointCount, 1);
    EXPECT_EQ(pad.Queued(), 1u);
}

TEST_F(Engine, side_switch_without_a_run_calculates_but_plays_no_sound) {
    for (auto [x, y] : {std::pair{0, 0}, {400, 0}, {400, 400}}) {
        Pick(x, y, 1);
    }
    EXPECT_EQ(engine.points.lPointCount, 3) << "points are stored with no run";
    Side();
    EXPECT_EQ(host.values, std::vector<double>{0.5});
    EXPECT_TRUE(host.puts[0].advance);
    EXPECT_EQ(engine.points.lPointCount, 0);
    EXPECT_EQ(host.sounds, 0);
    EXPECT_EQ(pad.getDataCalls, 3);
}

TEST_F(Engine, received_point_is_listed_with_its_log_coordinates) {
    pad.PushPoint({-12, 40, 5, 6, 0});
    engine.GetWintab(0, 0);
    EXPECT_EQ(host.listed, std::vector<QString>{QStringLiteral("取得座標データ   x=-12  y=40")});
    EXPECT_EQ(engine.points.lPointX[0], 5) << "the pen coordinates are measured";
    EXPECT_EQ(engine.points.lPointY[0], 6);
    EXPECT_EQ(engine.points.lPointMax, 100) << "the first point creates the arrays";
}

TEST(EngineSound, marks_stroke_ends_and_side_switch_in_a_running_mode) {
    struct Row {
        bool run;
        bool side;
        std::int32_t strokeEnd;
        int sounds;
    };
    for (const Row row : {Row{false, false, 1, 0}, Row{false, true, 0, 0}, Row{true, false, 0, 0},
                          Row{true, false, 1, 1}, Row{true, true, 0, 1}}) {
        Rig rig;
        if (row.run) {
            rig.Start(kPickedLength);
        }
        row.side ? rig.Side() : rig.Pick(1, 1, row.strokeEnd);
        EXPECT_EQ(rig.host.sounds, row.sounds)
            << "run " << row.run << " side " << row.side << " end " << row.strokeEnd;
    }
}

// ---- two-point distance ----

TEST_F(Engine, two_point_distance_follows_the_axis_choice_and_leaves_later_picks_queued) {
    for (auto [axis, expected] : {std::pair{0, 1.25}, {1, 0.75}, {2, 1.0}, {-1, 1.25}}) {
        Rig rig;
        rig.host.axis = axis;
        rig.Start(kTwoPoint);
        for (auto [x, y] : {std::pair{100, 200}, {400, 600}, {9, 9}}) {
            rig.pad.PushPick(x, y);
        }
        rig.engine.GetWintab(0, 0);
        ASSERT_EQ(rig.host.puts.size(), 1u) << "axis " << axis;
        EXPECT_DOUBLE_EQ(rig.host.puts[0].value, expected) << "axis " << axis;
        EXPECT_TRUE(rig.host.puts[0].advance);
        EXPECT_EQ(rig.engine.points.lPointCount, 0);
        EXPECT_EQ(rig.pad.Queued(), 1u);
    }
}

TEST_F(Engine, side_switch_after_one_pick_discards_it) {
    Start(kTwoPoint);
    Pick(0, 0);
    Side();
    EXPECT_TRUE(host.puts.empty());
    EXPECT_EQ(engine.points.lPointCount, 0);
    EXPECT_EQ(host.sounds, 1);
    Pick(0, 0);
    Pick(400, 0);
    EXPECT_EQ(host.values, std::vector<double>{1.0}) << "the next two picks make their own figure";
}

// The picks of a value that cannot be had are dropped with it, so the next
// figure starts from fresh points.
TEST_F(Engine, unusable_scale_writes_nothing_and_drops_the_picks) {
    for (const char* counts : {"0", "abc"}) {
        host.tabletCounts = QString::fromLatin1(counts);
        Start(kTwoPoint);
        Pick(0, 0);
        Pick(400, 0);
        EXPECT_EQ(engine.points.lPointCount, 0) << counts;
        Start(kCoordinate);
        Pick(400, 400);
        EXPECT_EQ(engine.points.lPointCount, 0) << counts;
    }
    EXPECT_TRUE(host.puts.empty());
    EXPECT_EQ(host.moves.size(), 4u) << "the coordinate mode still moves the cursor twice";
    host.tabletCounts = QStringLiteral("400");
    Pick(800, 1200);
    EXPECT_EQ(host.values, (std::vector<double>{2, 3})) << "the new pick is read, not an old one";
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
    host.invertX = true;
    Pick(1400, 2400);
    host.invertX = false;
    host.invertY = true;
    Pick(1400, 2400);
    EXPECT_EQ(host.values, (std::vector<double>{0, 0, 1, 1, -1, 1, 1, -1}));
    EXPECT_EQ(engine.points.lPointCount, 0);
}

TEST_F(Engine, coordinate_overflowing_32_bits_skips_only_that_axis) {
    const std::vector<QString> xSkipped{"move", "put 1", "move"};
    Start(kCoordinate);
    host.nextIsOrigin = true;
    Pick(kMin, 0);
    host.gridLog.clear();
    Pick(kMax, 400);
    EXPECT_EQ(host.gridLog, xSkipped);
    // Inverting the most negative difference overflows too.
    host.nextIsOrigin = true;
    Pick(0, 0);
    host.invertX = true;
    host.gridLog.clear();
    Pick(kMin, 400);
    EXPECT_EQ(host.gridLog, xSkipped);
}

// ---- picked and traced figures ----

TEST_F(Engine, traced_area_is_written_at_the_stroke_end_and_later_points_start_anew) {
    Start(kTracedArea);
    pad.PushStroke({{0, 0}, {400, 0}, {400, 400}, {0, 400}});
    pad.PushPick(5, 5);
    pad.PushPick(6, 6);
    engine.GetWintab(0, 0);
    EXPECT_EQ(host.values, std::vector<double>{1.0});
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
    EXPECT_EQ(host.values, std::vector<double>{2.0});
    EXPECT_EQ(engine.points.lPointCount, 0);
}

TEST_F(Engine, dropping_the_last_point_keeps_a_wrong_pick_out_of_the_figure) {
    Start(kPickedArea);
    for (auto [x, y] : {std::pair{0, 0}, {400, 0}, {400, 400}, {0, 400}, {9000, 9000}}) Pick(x, y);
    engine.DropLastPoint();
    Side();
    EXPECT_EQ(host.values, std::vector<double>{1.0}) << "the dropped pick is not measured";
    engine.DropLastPoint();  // nothing to drop
    Pick(7, 8);
    EXPECT_EQ(engine.points.lPointCount, 1);
}

// ---- runs and options ----

TEST_F(Engine, start_sets_mode_library_input_and_length_flag_by_option) {
    struct Row {
        std::int32_t mode;
        std::int32_t libraryMode;
        bool length;
    };
    const Row rows[] = {{kMesTwoPoint, 0, true}, {kMesPicked, 0, false},
                        {kMesTraced, 1, false},  {kMesPicked, 0, true},
                        {kMesTraced, 1, true},   {kMesCoordinate, 0, false}};
    for (int option = 0; option <= 5; ++option) {
        Pick(1, 1);
        Start(option);
        EXPECT_EQ(engine.lMesMode, rows[option].mode) << option;
        EXPECT_EQ(pad.setModeCalls.back(), rows[option].libraryMode) << option;
        EXPECT_EQ(engine.bLengthMode, rows[option].length) << option;
        EXPECT_EQ(engine.points.lPointCount, 0) << option;
        EXPECT_EQ(host.startEnabled, false);
    }
    EXPECT_EQ(host.focusCalls, 6);
}

TEST_F(Engine, choosing_an_option_restarts_a_run_and_otherwise_changes_only_the_guidance) {
    Pick(1, 1);
    Choose(kTracedArea);
    Choose(kCoordinate);
    EXPECT_TRUE(pad.setModeCalls.empty());
    EXPECT_EQ(engine.lMesMode, kMesNone);
    EXPECT_EQ(engine.points.lPointCount, 1);
    EXPECT_EQ(host.guidance.size(), 2u);
    EXPECT_EQ(host.originBoxVisible, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(host.focusCalls, 0);

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

// The texts are the engine's own (one copy, shown by the window); here, what
// varies: the note names the axis chosen, picked and traced figures share
// theirs, and each option has one.
TEST_F(Engine, guidance_texts) {
    host.axisText = QStringLiteral("横距離のみ （X軸）");
    for (int option = 0; option <= 5; ++option) {
        Choose(option);
        EXPECT_EQ(host.guidance.back(), engine.GuidanceText(option)) << option;
        EXPECT_FALSE(host.guidance.back().isEmpty()) << option;
    }
    EXPECT_TRUE(engine.GuidanceText(kTwoPoint).endsWith(
        QStringLiteral("\r\n\r\n※注意 設定は「 横距離のみ （X軸） 」です。")));
    EXPECT_EQ(engine.GuidanceText(kPickedArea), engine.GuidanceText(kPickedLength));
    EXPECT_EQ(engine.GuidanceText(kTracedArea), engine.GuidanceText(kTracedLength));
}

TEST_F(ReducedEngine, guidance_for_two_points_has_no_note_and_no_coordinate_mode) {
    Choose(kTwoPoint);
    EXPECT_FALSE(host.guidance.back().contains(QStringLiteral("※注意")));
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
    for (auto [x, y, text] :
         {std::tuple{400, 0, "400.00"}, {0, 0, ".00"}, {300, 400, "500.00"}, {1, 1, "1.41"}}) {
        engine.cmdScale_Click();
        EXPECT_TRUE(host.calibrationNotice);
        Pick(0, 0);
        Pick(x, y);
        EXPECT_EQ(host.tabletCounts, QString::fromLatin1(text));
        EXPECT_FALSE(host.calibrationNotice);
    }
    EXPECT_TRUE(host.puts.empty());
}

// The calibration picks belong to no figure, and the run it interrupted gets
// its own library input back, also after a second press of cmdScale.
TEST_F(Engine, calibration_returns_to_the_interrupted_run_with_an_empty_store) {
    struct Row {
        int option;  // -1: no run
        int presses;
        std::int32_t mode;
        std::vector<std::int32_t> libraryModes;
        std::vector<double> nextFigure;  // from a 400-count square stroke
    };
    const Row rows[] = {
        {-1, 1, kMesNone, {0}, {}},
        {kTwoPoint, 1, kMesTwoPoint, {0, 0, 0}, {0.5}},
        {kTracedArea, 1, kMesTraced, {1, 0, 1}, {0.25}},
        {kTracedLength, 2, kMesTraced, {1, 0, 0, 1}, {1.5}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.option);
        Rig rig;
        if (row.option >= 0) {
            rig.Start(row.option);
            rig.Pick(5, 5);
        }
        for (int press = 0; press < row.presses; ++press) {
            rig.engine.cmdScale_Click();
        }
        EXPECT_EQ(rig.engine.lMesMode, kMesCalibration);
        EXPECT_EQ(rig.engine.points.lPointCount, 0);
        rig.pad.PushPick(0, 0);
        rig.pad.PushPick(0, 800, 1);
        rig.engine.GetWintab(0, 0);
        EXPECT_EQ(rig.host.tabletCounts, QStringLiteral("800.00"));
        EXPECT_EQ(rig.engine.lMesMode, row.mode);
        EXPECT_EQ(rig.pad.setModeCalls, row.libraryModes);
        EXPECT_EQ(rig.engine.points.lPointCount, 0);
        EXPECT_EQ(rig.host.sounds, 1) << "the last point ended a stroke; entry mode was 1";
        EXPECT_EQ(rig.host.startEnabled, row.option >= 0 ? std::optional(false) : std::nullopt)
            << "a calibration leaves the buttons";
        rig.pad.PushStroke({{0, 0}, {400, 0}, {400, 400}, {0, 400}});
        rig.engine.GetWintab(0, 0);
        EXPECT_EQ(rig.host.values, row.nextFigure);
    }
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
