// The Linux tablet choice as a function of KALVOR_PAD and a fake sysfs tree,
// with the opening of event nodes scripted.

#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <map>

#include "AnsweringWindow.h"
#include "tablet/evdev/EvdevPadChoice.h"
#include "FileBytes.h"
#include "QStringPrinter.h"
#include "ScriptedSource.h"

namespace {

// Name and capability masks (abs, key) as sysfs prints them, 64-bit kernel.
using Device = std::array<const char*, 3>;
const Device kKeyboard{"AT Translated Set 2 keyboard", "0", "ffffffffffffffff fffffffffffffffe"};
const Device kTouchpad{"SynPS/2 Synaptics TouchPad", "660800011000003", "e520 10000 0 0 0 0"};
const Device kTouchscreen{"ELAN Touchscreen", "260800000000003", "400 0 0 0 0 0"};
const Device kPenPad{"Wacom Intuos Pro M Pad", "10000000103", "800 3ff 0 0 0 0"};
const Device kAbsMouse{"QEMU QEMU USB Tablet", "3", "70000 0 0 0 0"};
const Device kPen{"Wacom Intuos Pro M Pen", "1000f000107", "1c1f 0 0 0 0 0"};
const Device kHidPuck{"HID 1ab0:3003 Digitizer Puck", "3", "40 f 0 0 0 0"};

// sys/class/input and dev/input under a temporary directory; opening a node
// fails with the errno value scripted for it, else gives a source named
// after the node, that the test plays events into.
class FakeSystem {
  public:
    explicit FakeSystem(std::map<QString, Device> devices) {
        QDir(base_).mkpath(QStringLiteral("sys"));
        QDir(base_).mkpath(QStringLiteral("dev/by-id"));
        for (const auto& [event, d] : devices) Add(event, d);
    }
    // A device as sysfs shows it, and its node.
    void Add(const QString& event, const Device& d) {
        const QString dir = base_ + QStringLiteral("/sys/") + event + QStringLiteral("/device");
        QDir().mkpath(dir + QStringLiteral("/capabilities"));
        for (const auto& [file, text] :
             {std::pair{"name", d[0]}, {"capabilities/abs", d[1]}, {"capabilities/key", d[2]}})
            EXPECT_TRUE(WriteBytes(dir + QLatin1Char('/') + QLatin1String(file), text));
        EXPECT_TRUE(WriteBytes(Node(event), {}));
    }
    QString Node(const QString& event) const { return base_ + QStringLiteral("/dev/") + event; }

    std::optional<PadLinkChoice> Choose(const QString& variable) {
        EvdevEnvironment env{
            base_ + QStringLiteral("/sys"), base_ + QStringLiteral("/dev"), {}, {}};
        env.open = [this](const QString& node, int& error) -> std::unique_ptr<EvdevEventSource> {
            opened.push_back(node);
            error = failures[QFileInfo(node).canonicalFilePath()];
            if (error != 0) return nullptr;
            auto source = std::make_unique<ScriptedSource>(
                EvdevState{}, TabletAxes{{-100, 44800, 200}, {0, 29600, 200}}, node);
            last = source.get();
            return source;
        };
        env.monitor = [this]() -> std::unique_ptr<DeviceMonitor> {
            auto owned = std::make_unique<FakeMonitor>();
            monitor = owned.get();
            return owned;
        };
        return ChooseEvdevPadLink(variable, env);
    }

    class FakeMonitor : public DeviceMonitor {
      public:
        bool Start(Listener l) override {
            listener = std::move(l);
            return true;
        }
        void Stop() override { listener = nullptr; }
        void Tell(bool added, const QString& node) {
            if (listener) listener(added, node);
        }
        Listener listener;
    };

    std::map<QString, int> failures;
    std::vector<QString> opened;
    ScriptedSource* last = nullptr;
    FakeMonitor* monitor = nullptr;

  private:
    QTemporaryDir dir_;
    QString base_ = QFileInfo(dir_.path()).canonicalFilePath();
};

// A tablet read through the evdev library (one that can be held for this
// program), not the pad.
bool IsEvdev(const PadLinkChoice& c) { return c.library->CanHoldPen() && !c.onScreenPad; }

}  // namespace

// Keyboard, touchpad, touch screen, a pen tablet's button pad and an
// absolute mouse are passed over; of the tablets, the lowest number that
// opens is taken (event9 before event10).
TEST(EvdevPadChoice, no_variable_opens_the_first_tablet_that_opens) {
    FakeSystem sys({{"event0", kKeyboard},
                    {"event1", kTouchpad},
                    {"event2", kTouchscreen},
                    {"event3", kPenPad},
                    {"event4", kAbsMouse},
                    {"event9", kPen},
                    {"event10", kHidPuck},
                    {"event11", kPen}});
    sys.failures[sys.Node("event9")] = ENODEV;
    for (const QString& variable : {QString(), QStringLiteral("evdev")}) {
        sys.opened.clear();
        std::optional<PadLinkChoice> choice = sys.Choose(variable);
        ASSERT_TRUE(choice && IsEvdev(*choice));
        EXPECT_TRUE(choice->loadError.isEmpty());
        EXPECT_EQ(sys.opened, (std::vector<QString>{sys.Node("event9"), sys.Node("event10")}));
        EXPECT_EQ(choice->deviceName, sys.Node("event10"));
        ASSERT_TRUE(choice->axes);
        EXPECT_EQ(choice->axes->x.minimum, -100);
    }
}

TEST(EvdevPadChoice, tablets_that_cannot_be_opened_give_the_on_screen_pad_and_one_notice) {
    for (const auto& [error, mentions] :
         {std::pair{EACCES, QStringList{"Wacom Intuos Pro M Pen", "event5", "event7", "input",
                                        "TAG+=\"uaccess\""}},
          {EPERM, QStringList{"HID 1ab0:3003 Digitizer Puck", "uaccess"}},
          {ENODEV, QStringList{"Wacom Intuos Pro M Pen", "event5"}}}) {
        FakeSystem sys({{"event5", kPen}, {"event7", kHidPuck}});
        sys.failures = {{sys.Node("event5"), error}, {sys.Node("event7"), error}};
        std::optional<PadLinkChoice> choice = sys.Choose(QString());
        ASSERT_TRUE(choice && choice->onScreenPad);
        for (const QString& text : mentions)
            EXPECT_TRUE(choice->loadError.contains(text)) << text.toStdString();
    }
}

TEST(EvdevPadChoice, a_named_node_is_used_through_its_by_id_link) {
    FakeSystem sys({{"event5", kPen}, {"event6", kTouchscreen}});
    const QString link = sys.Node("by-id/usb-Wacom_Intuos_Pro_M-event-stylus");
    ASSERT_TRUE(QFile::link(QStringLiteral("../event5"), link));
    std::optional<PadLinkChoice> choice = sys.Choose(QStringLiteral("evdev:") + link);
    ASSERT_TRUE(choice && IsEvdev(*choice));
    EXPECT_EQ(sys.opened, std::vector<QString>{link});

    // Refused: the notice names the device behind the link, and the link.
    sys.failures[sys.Node("event5")] = EACCES;
    choice = sys.Choose(QStringLiteral("evdev:") + link);
    ASSERT_TRUE(choice && choice->onScreenPad);
    EXPECT_TRUE(choice->loadError.contains(QStringLiteral("Wacom Intuos Pro M Pen")));
    EXPECT_TRUE(choice->loadError.contains(link));
}

TEST(EvdevPadChoice, a_recording_plays_through_the_evdev_library) {
    FakeSystem sys({});
    std::optional<PadLinkChoice> choice =
        sys.Choose(QStringLiteral("evemu:" KALVOR_TEST_DATA "/hid-pen.evemu"));
    ASSERT_TRUE(choice && !choice->onScreenPad);
    EXPECT_TRUE(choice->loadError.isEmpty());
    EXPECT_EQ(choice->deviceName, QStringLiteral("HID 256c:0064 Pen"));
    ASSERT_TRUE(choice->axes && choice->rawAxes);
    EXPECT_EQ(choice->axes->x.minimum, 200);
    // Y's 80 counts/mm are brought to X's 100: its range grows to match.
    EXPECT_EQ(choice->axes->y.maximum, choice->rawAxes->y.maximum * 100 / 80);
    EXPECT_EQ(choice->rawAxes->ResolutionLine(),
              QStringLiteral("このタブレットの分解能: X 100 / Y 80 カウント/mm"
                             "（縦横とも 100 カウント/mm にそろえて計測します）"));

    for (const char* other : {"none", "virtual", "replay:x.txt", "PadLink.dll", "evdev2"})
        EXPECT_FALSE(sys.Choose(QString::fromLatin1(other))) << other;

    // What is no recording is refused at once, with the reason: nothing
    // named, a directory, a device that never ends, a FIFO without a writer.
    const QString fifo = sys.Node("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path :
         {QString(), QStringLiteral(KALVOR_TEST_DATA), QStringLiteral("/dev/zero"), fifo}) {
        choice = sys.Choose(QStringLiteral("evemu:") + path);
        ASSERT_TRUE(choice);
        EXPECT_TRUE(choice->loadError.startsWith(
            QStringLiteral("記録ファイル「%1」を読み込めませんでした（").arg(path)))
            << choice->loadError.toStdString();
    }
}

// Unplugged in the middle of a figure: the points taken stay, the operator
// is told, and the same tablet plugged in again is read on without a
// restart; with none at start, the first one plugged in joins the pad.
TEST(EvdevPadChoice, tablets_come_and_go_without_a_restart) {
    FakeSystem sys({{"event5", kPen}, {"event6", kTouchscreen}});
    std::optional<PadLinkChoice> choice = sys.Choose(QString());
    ASSERT_TRUE(choice && IsEvdev(*choice));
    std::vector<TabletNotice::Kind> told;
    choice->library->SetNoticeSink([&](const TabletNotice& n) { told.push_back(n.kind); });
    AnsweringWindow window(*choice->library);
    choice->library->PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(sys.monitor && sys.last);

    sys.last->Play(PickEvents(10, 10));
    sys.monitor->Tell(false, sys.Node("event6"));  // another device: nothing
    sys.monitor->Tell(false, sys.Node("event5"));
    EXPECT_EQ(told, std::vector{TabletNotice::Kind::Unplugged});
    sys.monitor->Tell(true, sys.Node("event6"));  // no tablet: not opened
    sys.monitor->Tell(true, sys.Node("event5"));
    EXPECT_EQ(told, (std::vector{TabletNotice::Kind::Unplugged, TabletNotice::Kind::PluggedIn}));
    sys.last->Play(PickEvents(20, 20));
    RunFor(0);
    EXPECT_EQ(window.Everything(), (Points{"10,10!", "20,20!"}));
    choice->library->PadlinkClose();

    FakeSystem empty({{"event0", kKeyboard}});
    choice = empty.Choose(QString());
    ASSERT_TRUE(choice && choice->onScreenPad);
    AnsweringWindow padWindow(*choice->library);
    choice->library->PadlinkInit(&padWindow, 0, 0);
    ASSERT_TRUE(empty.monitor);
    EXPECT_EQ(empty.last, nullptr);
    empty.Add(QStringLiteral("event3"), kPen);
    empty.monitor->Tell(true, empty.Node("event3"));
    ASSERT_NE(empty.last, nullptr);
    empty.last->Play(PickEvents(30, 30));
    RunFor(0);
    EXPECT_EQ(padWindow.Everything(), Points{"30,30!"});
    EXPECT_TRUE(choice->library->CanHoldPen());
    choice->library->PadlinkClose();
}
