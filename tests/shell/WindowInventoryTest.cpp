// The control inventory of the main window, in both editions: names, kinds,
// captions, containers, design geometry, initial states and the Tab order.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "WindowFixture.h"

namespace {

struct Rect {
    int left, top, width, height;  // twips
};

// Where a control lives: directly on the window, or on a page of sstMenu
// (then either directly on the page or inside one of its frames).
constexpr int kOnWindow = -1;

struct ControlRow {
    const char* name;
    const char* kind;     // Qt class the control must be
    const char* caption;  // design caption or text; nullptr when it has none
    int page;             // page of sstMenu, or kOnWindow
    const char* frame;    // frame holding it, nullptr when on the page or window
    Rect rect;
    bool fullOnly;   // absent from the reduced edition
    Rect reduced{};  // the reduced edition's rectangle where it differs, else empty
};

// Design inventory of the full edition; three controls have another size in
// the reduced edition.
const ControlRow kInventory[] = {
    {"txtForEdit",
     "QLineEdit",
     "明細用テキスト",
     kOnWindow,
     nullptr,
     {2460, 4080, 1635, 375},
     false},
    {"lstGetData", "QListView", nullptr, kOnWindow, nullptr, {12720, 6660, 1575, 1500}, false},
    {"sstMenu", "QTabWidget", nullptr, kOnWindow, nullptr, {60, 7560, 12255, 2475}, false},

    {"Frame3",
     "QGroupBox",
     "計測の選択",
     0,
     nullptr,
     {180, 420, 4635, 1935},
     false,
     {180, 420, 4635, 1995}},
    {"optMes(0)", "QRadioButton", "二点間の距離", 0, "Frame3", {180, 300, 1380, 300}, false},
    {"optMes(1)", "QRadioButton", "多点の面積", 0, "Frame3", {1740, 300, 1380, 300}, false},
    {"optMes(2)", "QRadioButton", "なぞり面積", 0, "Frame3", {3120, 300, 1260, 300}, false},
    {"optMes(3)", "QRadioButton", "多点の距離", 0, "Frame3", {1740, 600, 1380, 300}, false},
    {"optMes(4)", "QRadioButton", "なぞり距離", 0, "Frame3", {3120, 600, 1260, 300}, false},
    {"optMes(5)", "QRadioButton", "座標点", 0, "Frame3", {180, 600, 1380, 300}, true},
    {"lblMesHelp",
     "QLabel",
     "",
     0,
     "Frame3",
     {180, 1020, 4155, 795},
     false,
     {240, 1080, 4155, 855}},
    {"cmdMes(0)", "QToolButton", "計測開始", 0, nullptr, {5160, 540, 915, 795}, false},
    {"cmdMes(1)", "QToolButton", "計測中止", 0, nullptr, {5160, 1500, 915, 795}, false},
    {"cmdNextLine", "QToolButton", "次行移動", 0, nullptr, {6300, 540, 915, 795}, false},
    {"cmdPaste", "QToolButton", "貼付", 0, nullptr, {6300, 1500, 915, 795}, true},
    {"cmdCopy", "QToolButton", "コピー", 0, nullptr, {7500, 540, 915, 795}, false},
    {"cmdSave", "QToolButton", "ﾌｧｲﾙ保存", 0, nullptr, {7500, 1500, 915, 795}, false},
    {"cmdClr", "QToolButton", "クリア", 0, nullptr, {8640, 540, 915, 795}, false},
    {"cmdExit", "QToolButton", "終了", 0, nullptr, {8640, 1500, 915, 795}, false},
    {"lblHelp",
     "QLabel",
     "Enterキー ： 次行移動",
     0,
     nullptr,
     {9840, 540, 2235, 1455},
     false,
     {9840, 540, 2235, 1695}},
    {"chkOrgPos", "QCheckBox", "次点を原点にする", 0, nullptr, {9780, 2040, 2235, 315}, true},

    {"Label2(4)",
     "QLabel",
     "計測するために必要な「基準となる長さ」と、タブレット上の長さを設定します。  "
     "タブレットを変えたり、長さを変える場合は、やり直ししてください。",
     1,
     nullptr,
     {240, 480, 10995, 195},
     false},
    {"Label1(0)", "QLabel", "基準となる長さ", 1, nullptr, {240, 960, 1515, 315}, false},
    {"txtInput(0)", "QLineEdit", "1", 1, nullptr, {1860, 900, 975, 315}, false},
    {"Label2(1)",
     "QLabel",
     "1ｃｍなら「１」。 10ｍｍなら「10」と入れてください。",
     1,
     nullptr,
     {2940, 960, 5355, 315},
     false},
    {"Label1(3)", "QLabel", "タブレット上の長さ", 1, nullptr, {300, 1440, 1455, 315}, false},
    {"txtInput(3)", "QLineEdit", "400", 1, nullptr, {1860, 1380, 975, 315}, false},
    {"Label2(3)",
     "QLabel",
     "タブレットの「分解能」により、「基準となる長さ」がタブレット上でいくつになるのかを、"
     "直接指定します。 たとえば、１ｃｍで0.025mmの分解能なら400、0.0125mmの分解能なら800です。",
     1,
     nullptr,
     {2940, 1320, 7755, 495},
     false},
    {"cmdScale",
     "QPushButton",
     "タブレット上の長さの自動計測",
     1,
     nullptr,
     {240, 1920, 2655, 435},
     false},
    {"Label2(0)",
     "QLabel",
     "分解能が分からない場合、「基準となる長さ」を設定し、このボタンを押して、"
     "タブレットで２点クリックしてください。",
     1,
     nullptr,
     {3000, 2040, 8655, 315},
     false},
    {"lblMsg(0)",
     "QLabel",
     "計測を開始しました。タブレットで２点をクリックしてください。この間、他の処理は厳禁です。",
     1,
     nullptr,
     {3000, 1980, 8475, 315},
     false},

    {"Frame1", "QGroupBox", "入力表の項目数", 2, nullptr, {240, 540, 1935, 1335}, false},
    {"Label1(1)", "QLabel", "縦の項目数", 2, "Frame1", {120, 360, 975, 315}, false},
    {"txtInput(1)", "QLineEdit", "20", 2, "Frame1", {1200, 300, 555, 315}, false},
    {"Label1(2)", "QLabel", "横の項目数", 2, "Frame1", {120, 780, 975, 315}, false},
    {"txtInput(2)", "QLineEdit", "20", 2, "Frame1", {1200, 720, 555, 315}, false},
    {"Frame4", "QGroupBox", "入力する方向", 2, nullptr, {2340, 540, 1335, 1335}, false},
    {"optInput(0)", "QRadioButton", "縦に入力", 2, "Frame4", {120, 300, 1155, 315}, false},
    {"optInput(1)", "QRadioButton", "横に入力", 2, "Frame4", {120, 720, 1155, 315}, false},
    {"Frame5(0)", "QGroupBox", "小数点", 2, nullptr, {3960, 540, 1515, 735}, false},
    {"cmbSyosu", "QComboBox", nullptr, 2, "Frame5(0)", {180, 240, 1155, 300}, false},
    {"Frame7", "QGroupBox", "座標点の設定", 2, nullptr, {3960, 1440, 1935, 915}, true},
    {"chkZahyo(0)", "QCheckBox", "X座標の逆転", 2, "Frame7", {120, 240, 1575, 255}, true},
    {"chkZahyo(1)", "QCheckBox", "Y座標の逆転", 2, "Frame7", {120, 540, 1575, 255}, true},
    {"Frame5(1)", "QGroupBox", "項目の横の長さ", 2, nullptr, {5700, 540, 1515, 735}, false},
    {"cmdWidth", "QComboBox", nullptr, 2, "Frame5(1)", {180, 240, 1155, 300}, false},
    {"Frame2", "QGroupBox", "音の設定", 2, nullptr, {7380, 540, 1695, 1095}, false},
    {"cmdWav", "QPushButton", "Wavファイルの指定", 2, "Frame2", {180, 300, 1335, 615}, false},
    {"Frame6", "QGroupBox", "二点間距離", 2, nullptr, {9300, 540, 2295, 795}, false},
    {"cmbNiten", "QComboBox", nullptr, 2, "Frame6", {180, 300, 1935, 300}, false},
};

// The Tab order of the design, every control that can take the focus; the
// controls beyond the design come last.
const char* const kFocusOrder[] = {
    "msgMei",      "sstMenu",     "cmdExit",     "cmdSave",     "cmdMes(0)",   "txtInput(0)",
    "txtInput(3)", "cmdScale",    "cmdMes(1)",   "cmdCopy",     "cmdClr",      "cmdNextLine",
    "cmdWidth",    "txtInput(1)", "txtInput(2)", "optInput(0)", "optInput(1)", "cmbSyosu",
    "optMes(0)",   "optMes(1)",   "optMes(2)",   "cmdWav",      "optMes(3)",   "optMes(4)",
    "cmbNiten",    "optMes(5)",   "chkOrgPos",   "chkZahyo(0)", "chkZahyo(1)", "cmdPaste",
    "chkPenGrab",
};

// Twips to pixels at the window's resolution (15 twips a pixel at 96 dpi).
int Px(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

QRect PxRect(const Rect& r, double dpi) {
    return QRect(Px(r.left, dpi), Px(r.top, dpi), Px(r.width, dpi), Px(r.height, dpi));
}

QString CaptionOf(const QObject* o) {
    if (auto* b = qobject_cast<const QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(o)) return g->title();
    if (auto* l = qobject_cast<const QLabel*>(o)) return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(o)) return e->text();
    return {};
}

// The control on whose behalf a widget holds the focus: the tab bar holds it
// for sstMenu.
QString FocusOwnerName(const QWidget* w, const QWidget* window) {
    for (; w != nullptr && w != window; w = w->parentWidget())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    return {};
}

// A group of option buttons is one stop for the Tab key (the arrow keys move
// inside it), so walks are compared group by group.
QStringList AsStops(const QStringList& names) {
    QStringList out;
    for (QString n : names) {
        for (const char* group : {"optMes(", "optInput("})
            if (n.startsWith(QLatin1String(group))) n = QLatin1String(group) + QLatin1Char('*');
        if (out.isEmpty() || out.last() != n) out << n;
    }
    return out;
}

class WindowInventory : public ::testing::TestWithParam<bool> {
  protected:
    bool Full() const { return GetParam(); }

    // A window as designed: built, not loaded, not shown.
    frmTab& Designed() {
        f.window = std::make_unique<frmTab>(edition, f.services);
        return *f.window;
    }
    QTabWidget* Tabs() const { return f.Find<QTabWidget>(QStringLiteral("sstMenu")); }
    void ShowPage(int page) {
        Tabs()->setCurrentIndex(page);
        QApplication::processEvents();
    }

    // The design's focus order restricted to what Tab can reach now.
    QStringList ReachableInOrder() const {
        QStringList out;
        for (const char* name : kFocusOrder) {
            auto* w = f.Find<QWidget>(QString::fromUtf8(name));
            if (w != nullptr && w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus)
                out << w->objectName();
        }
        return AsStops(out);
    }

    // Presses Tab from the grid until the focus comes back to it.
    QStringList TabWalk() const {
        QWidget* grid = f.Find<QWidget>(QStringLiteral("msgMei"));
        grid->setFocus(Qt::TabFocusReason);
        QStringList out{FocusOwnerName(QApplication::focusWidget(), f.window.get())};
        for (int i = 0; i < 80; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == grid) break;
            out << FocusOwnerName(QApplication::focusWidget(), f.window.get());
        }
        return AsStops(out);
    }

    Edition edition = Full() ? FullEdition() : ReducedEdition();
    WindowFixture f{edition};
};

INSTANTIATE_TEST_SUITE_P(Editions, WindowInventory, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "full" : "reduced"; });

TEST_P(WindowInventory, every_control_has_its_name_kind_container_and_design_caption) {
    frmTab& w = Designed();
    for (const ControlRow& row : kInventory) {
        SCOPED_TRACE(row.name);
        QObject* o = w.findChild<QObject*>(QString::fromUtf8(row.name));
        if (row.fullOnly && !Full()) {
            EXPECT_EQ(o, nullptr) << "absent from the reduced edition";
            continue;
        }
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(o->inherits(row.kind)) << o->metaObject()->className();
        if (row.caption != nullptr) {
            EXPECT_EQ(CaptionOf(o), QString::fromUtf8(row.caption));
        }
        auto* widget = qobject_cast<QWidget*>(o);
        ASSERT_NE(widget, nullptr);
        if (row.frame != nullptr) {
            EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromUtf8(row.frame));
        }
        if (row.page == kOnWindow) {
            EXPECT_EQ(widget->parentWidget(), &w);
        } else {
            EXPECT_TRUE(Tabs()->widget(row.page)->isAncestorOf(widget)) << "page " << row.page;
        }
    }
    auto* grid = w.findChild<QTableView*>(QStringLiteral("msgMei"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->parentWidget(), &w);
    // The paste buffer is a plain text holder, never a widget on screen.
    QObject* clip = w.findChild<QObject*>(QStringLiteral("txtClip"));
    EXPECT_EQ(clip != nullptr, Full());
    EXPECT_EQ(qobject_cast<QWidget*>(clip), nullptr);
    // The label arrays keep their gap.
    EXPECT_EQ(w.findChild<QObject*>(QStringLiteral("Label2(2)")), nullptr);
}

TEST_P(WindowInventory, tabs_and_drop_down_lists_carry_their_design_texts) {
    Designed();
    ASSERT_EQ(Tabs()->count(), 3);
    EXPECT_EQ(Tabs()->tabText(0), QStringLiteral(" 標準  "));
    EXPECT_EQ(Tabs()->tabText(1), QStringLiteral("基準となる長さの設定 "));
    EXPECT_EQ(Tabs()->tabText(2), QStringLiteral("その他の設定  "));
    const std::pair<const char*, QStringList> lists[] = {
        {"cmbSyosu", {"なし", "１位", "２位", "３位", "４位", "５位"}},
        {"cmdWidth", {"450", "600", "750", "900", "1050", "1200", "1350", "1500"}},
        {"cmbNiten", {"通常", "横距離のみ （X軸）", "縦距離のみ （Y軸）"}},
    };
    for (const auto& [name, expected] : lists) {
        SCOPED_TRACE(name);
        auto* combo = f.Find<QComboBox>(QString::fromUtf8(name));
        ASSERT_NE(combo, nullptr);
        EXPECT_FALSE(combo->isEditable());
        EXPECT_EQ(combo->currentIndex(), -1);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        EXPECT_EQ(items, expected);
    }
}

// The table holds the full edition's rectangles, so in the reduced edition
// it also shows that nothing but the three resized controls moves.
TEST_P(WindowInventory, controls_sit_at_their_design_rectangles) {
    frmTab& w = f.Start();
    const double dpi = w.logicalDpiY();
    for (int page = kOnWindow; page < 3; ++page) {
        if (page != kOnWindow) ShowPage(page);
        for (const ControlRow& row : kInventory) {
            if (row.page != page || (row.fullOnly && !Full())) continue;
            SCOPED_TRACE(row.name);
            const Rect design = !Full() && row.reduced.width > 0 ? row.reduced : row.rect;
            auto* widget = f.Find<QWidget>(QString::fromUtf8(row.name));
            ASSERT_NE(widget, nullptr);
            // A page's control is placed relative to the tab control, strip included.
            const bool onPage = row.frame == nullptr && row.page != kOnWindow;
            const QRect placed = onPage ? QRect(widget->mapTo(Tabs(), QPoint(0, 0)), widget->size())
                                        : widget->geometry();
            EXPECT_EQ(placed, PxRect(design, dpi));
        }
    }
    // At the design size of the window; how the grid follows resizing is
    // for the layout tests.
    EXPECT_EQ(f.Find<QWidget>(QStringLiteral("msgMei"))->geometry(),
              PxRect({60, 120, 14715, 7335}, dpi));
}

TEST_P(WindowInventory, title_shows_caption_version_and_a_notice) {
    const QString head = QStringLiteral("Kalvor ／ タブレット計測システム ver") +
                         (Full() ? QStringLiteral("1.1.1") : QStringLiteral("1.0.14"));
    const QString title = f.Start().windowTitle();
    ASSERT_TRUE(title.startsWith(head)) << title.toStdString();
    const QString notice = title.mid(head.size());
    EXPECT_TRUE(notice.startsWith(QStringLiteral("   "))) << notice.toStdString();
    EXPECT_FALSE(notice.trimmed().isEmpty());
}

TEST_P(WindowInventory, window_opens_on_the_first_page_with_the_grid_focused) {
    Designed();
    // Whatever page was showing before start-up.
    Tabs()->setCurrentIndex(2);
    ASSERT_TRUE(f.window->Form_Load());
    f.window->show();
    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    QApplication::processEvents();
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), f.Find<QWidget>(QStringLiteral("msgMei")));
}

// The icons are built into the executable: a missing or misnamed picture
// would leave a button blank on every desktop, and without the 64-pixel twin
// a screen at 200 % would show a blurred enlargement.
TEST_P(WindowInventory, window_and_picture_buttons_carry_distinct_icons_at_both_densities) {
    frmTab& w = Designed();
    std::vector<std::pair<QString, QIcon>> icons{{QStringLiteral("frmTab"), w.windowIcon()}};
    for (const char* name : {"cmdMes(0)", "cmdMes(1)", "cmdNextLine", "cmdPaste", "cmdCopy",
                             "cmdSave", "cmdClr", "cmdExit"}) {
        auto* button = f.Find<QToolButton>(QString::fromUtf8(name));
        if (button != nullptr) icons.emplace_back(button->objectName(), button->icon());
    }
    ASSERT_EQ(icons.size(), Full() ? 9u : 8u);
    std::vector<QImage> seen;
    for (const auto& [name, icon] : icons) {
        SCOPED_TRACE(name.toStdString());
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(64, 64)))
            << sizes.size() << " sizes";
        const QImage picture = icon.pixmap(QSize(32, 32), 1.0).toImage();
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(std::count(seen.begin(), seen.end(), picture), 0) << "same picture as another";
        seen.push_back(picture);
    }
}

TEST_P(WindowInventory, tools_stay_hidden_and_the_origin_box_shows_only_for_coordinates) {
    frmTab& w = f.Start();
    for (const char* hidden : {"lblMsg(0)", "txtForEdit", "lstGetData", "chkOrgPos"}) {
        auto* widget = f.Find<QWidget>(QString::fromUtf8(hidden));
        if (widget == nullptr && !Full()) continue;
        ASSERT_NE(widget, nullptr) << hidden;
        EXPECT_FALSE(widget->isVisibleTo(&w)) << hidden;
    }
    if (!Full()) return;
    auto* box = f.Find<QWidget>(QStringLiteral("chkOrgPos"));
    for (const auto& [option, shown] : {std::pair{5, true}, std::pair{1, false}, std::pair{5, true},
                                        std::pair{0, false}, std::pair{4, false}}) {
        SCOPED_TRACE(option);
        f.Find<QRadioButton>(QStringLiteral("optMes(%1)").arg(option))->setChecked(true);
        EXPECT_EQ(box->isVisibleTo(&w), shown);
    }
}

TEST_P(WindowInventory, tab_key_walks_each_page_in_design_order) {
    f.Start().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        ShowPage(page);
        EXPECT_EQ(TabWalk(), ReachableInOrder());
    }
    // Stop and the origin box join the walk once they are usable, start leaves it.
    f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)"))->click();
    if (Full()) f.Find<QRadioButton>(QStringLiteral("optMes(5)"))->setChecked(true);
    ShowPage(0);
    const QStringList walk = TabWalk();
    EXPECT_EQ(walk, ReachableInOrder());
    EXPECT_TRUE(walk.contains(QStringLiteral("cmdMes(1)")));
    EXPECT_FALSE(walk.contains(QStringLiteral("cmdMes(0)")));
    EXPECT_EQ(walk.contains(QStringLiteral("chkOrgPos")), Full());
}

// The tablet's resolution on the scale page, and the pen's hold on the
// other settings page, each only where it means something.
TEST_P(WindowInventory, controls_beyond_the_design_show_only_where_they_apply_and_cover_none) {
    for (const bool known : {false, true}) {
        WindowFixture g(Full() ? FullEdition() : ReducedEdition());
        const QString line =
            known ? QStringLiteral("このタブレットの分解能: X 100 / Y 80 カウント/mm") : QString();
        g.services.tabletResolution = line;
        g.tablet.canHoldPen = known;
        frmTab& w = g.Start();
        auto* label = g.Find<QLabel>(QStringLiteral("lblResolution"));
        auto* hold = g.Find<QCheckBox>(QStringLiteral("chkPenGrab"));
        ASSERT_TRUE(label && hold);
        EXPECT_EQ(label->text(), line);
        for (QWidget* added : {static_cast<QWidget*>(label), static_cast<QWidget*>(hold)}) {
            EXPECT_EQ(added->isVisibleTo(added->parentWidget()), known);
            // In free space on its page: it covers no control of the design.
            for (auto* other :
                 added->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (other == added || !other->isVisibleTo(&w)) continue;
                EXPECT_FALSE(added->geometry().intersects(other->geometry()))
                    << added->objectName().toStdString() << " over "
                    << other->objectName().toStdString();
            }
        }
    }
}

}  // namespace
