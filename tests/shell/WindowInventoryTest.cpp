// The control inventory of the main window, in both editions: what each
// edition builds, what stays hidden, the title, the icons and the Tab key.
// The controls' names, captions and places are the design's table itself
// (FormDesign), which the window is built from.

#include <QAbstractButton>
#include <QCheckBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "WindowFixture.h"

namespace {

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

    // Every control that Tab can reach now, once, sorted.
    QStringList Reachable() const {
        QStringList out;
        for (auto* w : f.window->findChildren<QWidget*>()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0)
                out << FocusOwnerName(w, f.window.get());
        }
        return Sorted(AsStops(out));
    }
    static QStringList Sorted(QStringList names) {
        names.sort();
        names.removeDuplicates();
        return names;
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

// The editions' differences are data (Edition): the reduced one builds none
// of the full edition's controls, and the paste buffer is never a widget on
// screen.
TEST_P(WindowInventory, the_reduced_edition_lacks_paste_and_coordinates) {
    frmTab& w = Designed();
    for (const char* name : {"cmdPaste", "txtClip", "optMes(5)", "chkOrgPos", "Frame7",
                             "chkZahyo(0)", "chkZahyo(1)"}) {
        SCOPED_TRACE(name);
        QObject* o = w.findChild<QObject*>(QString::fromUtf8(name));
        EXPECT_EQ(o != nullptr, Full());
        if (o != nullptr && std::string_view(name) == "txtClip") {
            EXPECT_EQ(qobject_cast<QWidget*>(o), nullptr);
        }
    }
    // The label arrays keep their gap.
    EXPECT_EQ(w.findChild<QObject*>(QStringLiteral("Label2(2)")), nullptr);
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
        if (!Full() && std::string_view(hidden) == "chkOrgPos") continue;  // absent, see above
        auto* widget = f.Find<QWidget>(QString::fromUtf8(hidden));
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

// The order is the design's (kFocusOrder); here, that the walk reaches every
// control it can and comes back to the grid, on every page.
TEST_P(WindowInventory, tab_key_reaches_every_usable_control_of_each_page) {
    f.Start().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        ShowPage(page);
        const QStringList walk = TabWalk();
        EXPECT_EQ(walk.size(), Sorted(walk).size()) << "each once";
        EXPECT_EQ(Sorted(walk), Reachable());
    }
    // Stop and the origin box join the walk once they are usable, start leaves it.
    f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)"))->click();
    if (Full()) f.Find<QRadioButton>(QStringLiteral("optMes(5)"))->setChecked(true);
    ShowPage(0);
    const QStringList walk = TabWalk();
    EXPECT_EQ(Sorted(walk), Reachable());
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
        auto* exportFigures = g.Find<QWidget>(QStringLiteral("cmdExportFigures"));
        ASSERT_TRUE(label && hold && exportFigures);
        EXPECT_EQ(label->text(), line);
        EXPECT_TRUE(exportFigures->isVisibleTo(exportFigures->parentWidget())) << "in both editions";
        for (QWidget* added : {static_cast<QWidget*>(label), static_cast<QWidget*>(hold), exportFigures}) {
            if (added != exportFigures) {
                EXPECT_EQ(added->isVisibleTo(added->parentWidget()), known);
            }
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
