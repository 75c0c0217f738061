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
#include <string_view>
#include <utility>
#include <vector>

#include "shell/FormDesign.h"
#include "WindowFixture.h"

namespace {

// Twips to pixels at the window's resolution (15 twips a pixel at 96 dpi).
int Px(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

QRect PxRect(const DesignRect& r, double dpi) {
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

// Against the form's design table, which the window itself reads: every
// control there is built with its name, kind, container and caption.
TEST_P(WindowInventory, every_control_has_its_name_kind_container_and_design_caption) {
    frmTab& w = Designed();
    for (const ControlDesign& row : FormDesign()) {
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
    for (int page = 0; page < 3; ++page)
        EXPECT_EQ(Tabs()->tabText(page), QString::fromUtf8(kTabCaptions[page]));
    const auto texts = [](auto& items) {
        QStringList out;
        for (const char* item : items) out << QString::fromUtf8(item);
        return out;
    };
    const std::pair<const char*, QStringList> lists[] = {
        {"cmbSyosu", texts(kDecimalsItems)},
        {"cmdWidth", texts(kWidthItems)},
        {"cmbNiten", texts(kTwoPointItems)},
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
// it also shows that nothing but the three resized controls moves. The grid
// follows the window's size (the layout tests).
TEST_P(WindowInventory, controls_sit_at_their_design_rectangles) {
    frmTab& w = f.Start();
    const double dpi = w.logicalDpiY();
    const std::pair<const char*, DesignRect> resized[] = {
        {"Frame3", edition.frame3}, {"lblMesHelp", edition.lblMesHelp}, {"lblHelp", edition.lblHelp}};
    for (int page = kOnWindow; page < 3; ++page) {
        if (page != kOnWindow) ShowPage(page);
        for (const ControlDesign& row : FormDesign()) {
            if (row.page != page || (row.fullOnly && !Full())) continue;
            if (std::string_view(row.name) == "msgMei") continue;
            SCOPED_TRACE(row.name);
            DesignRect design = row.rect;
            for (const auto& [name, rect] : resized)
                if (std::string_view(row.name) == name) design = rect;
            auto* widget = f.Find<QWidget>(QString::fromUtf8(row.name));
            ASSERT_NE(widget, nullptr);
            // A page's control is placed relative to the tab control, strip included.
            const bool onPage = row.frame == nullptr && row.page != kOnWindow;
            const QRect placed = onPage ? QRect(widget->mapTo(Tabs(), QPoint(0, 0)), widget->size())
                                        : widget->geometry();
            EXPECT_EQ(placed, PxRect(design, dpi));
        }
    }
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
