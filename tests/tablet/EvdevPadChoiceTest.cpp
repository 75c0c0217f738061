// The Linux tablet choice as a function of KALVOR_PAD and a fake sysfs tree,
// with the opening of event nodes scripted.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <map>

#include "EvdevPadChoice.h"
#include "EvdevPadLink.h"
#include "NullPadLink.h"
#include "QStringPrinter.h"
#include "TabletDiscovery.h"

namespace {

// Capability masks as sysfs prints them on a 64-bit kernel.
struct Device {
    const char* name;
    const char* abs;
    const char* key;
};
const Device kKeyboard{"AT Translated Set 2 keyboard", "0", "ffffffffffffffff fffffffffffffffe"};
const Device kTouchpad{"SynPS/2 Synaptics TouchPad", "660800011000003", "e520 10000 0 0 0 0"};
const Device kTouchscreen{"ELAN Touchscreen", "260800000000003", "400 0 0 0 0 0"};
const Device kPenPad{"Wacom Intuos Pro M Pad", "10000000103", "800 3ff 0 0 0 0"};
const Device kPen{"Wacom Intuos Pro M Pen", "1000f000107", "1c1f 0 0 0 0 0"};
const Device kLens{"Wacom Intuos4 6x9", "1000f000167", "1cdf 1f0000 0 0 0 0"};
const Device kHidPuck{"HID 1ab0:3003 Digitizer Puck", "3", "40 f 0 0 0 0"};
const Device kAbsMouse{"QEMU QEMU USB Tablet", "3", "70000 0 0 0 0"};

// A sysfs tree and a /dev/input under a temporary directory.
class FakeSystem {
  public:
    FakeSystem() : base_(QFileInfo(dir_.path()).canonicalFilePath()) {
        QDir(base_).mkpath(QStringLiteral("sys"));
        QDir(base_).mkpath(QStringLiteral("dev/by-id"));
    }
    void Add(const QString& event, const Device& d) {
        const QString base = Sys() + QLatin1Char('/') + event + QStringLiteral("/device");
        QDir().mkpath(base + QStringLiteral("/capabilities"));
        Write(base + QStringLiteral("/name"), QByteArray(d.name) + "\n");
        Write(base + QStringLiteral("/capabilities/abs"), QByteArray(d.abs) + "\n");
        Write(base + QStringLiteral("/capabilities/key"), QByteArray(d.key) + "\n");
        Write(Dev() + QLatin1Char('/') + event, {});
    }
    QString Link(const QString& name, const QString& event) {
        const QString link = Dev() + QStringLiteral("/by-id/") + name;
        QFile::link(QStringLiteral("../") + event, link);
        return link;
    }
    QString Sys() const { return base_ + QStringLiteral("/sys"); }
    QString Dev() const { return base_ + QStringLiteral("/dev"); }
    QString Node(const QString& event) const { return Dev() + QLatin1Char('/') + event; }

    // Opens nodes as scripted: an errno value per node, 0 for success.
    std::map<QString, int> failures;
    std::vector<QString> opened;

    EvdevEnvironment Environment() {
        EvdevEnvironment env;
        env.sysfsInputRoot = Sys();
        env.devInputRoot = Dev();
        env.open = [this](const QString& node, int& error) -> std::unique_ptr<EvdevEventSource> {
            opened.push_back(node);
            const auto it = failures.find(QFileInfo(node).canonicalFilePath());
            error = it == failures.end() ? 0 : it->second;
            if (error != 0) return nullptr;
            return std::make_unique<NamedSource>(QFileInfo(node).canonicalFilePath());
        };
        return env;
    }

  private:
    // Stands for an opened device: its name is its node, its axes fixed.
    class NamedSource : public EvdevEventSource {
      public:
        explicit NamedSource(QString node) : node_(std::move(node)) {}
        QString Name() const override { return node_; }
        TabletAxes Axes() const override { return {{-100, 44800, 200}, {0, 29600, 150}}; }
        void Start(Sink) override {}
        void Stop() override {}

      private:
        QString node_;
    };

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir_;
    QString base_;
};

}  // namespace

TEST(TabletDiscovery, finds_pens_and_pucks_in_number_order_and_nothing_else) {
    FakeSystem sys;
    sys.Add(QStringLiteral("event0"), kKeyboard);
    sys.Add(QStringLiteral("event1"), kTouchpad);
    sys.Add(QStringLiteral("event2"), kTouchscreen);
    sys.Add(QStringLiteral("event3"), kPenPad);
    sys.Add(QStringLiteral("event4"), kAbsMouse);
    sys.Add(QStringLiteral("event9"), kHidPuck);
    sys.Add(QStringLiteral("event10"), kPen);
    sys.Add(QStringLiteral("event11"), kLens);
    const std::vector<TabletNode> found = TabletDiscovery(sys.Sys(), sys.Dev()).Tablets();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].node, sys.Node(QStringLiteral("event9")));
    EXPECT_EQ(found[0].name, QString::fromLatin1(kHidPuck.name));
    EXPECT_EQ(found[1].node, sys.Node(QStringLiteral("event10")));
    EXPECT_EQ(found[2].name, QString::fromLatin1(kLens.name));
}

TEST(EvdevPadChoice, no_variable_opens_the_first_tablet_that_opens) {
    FakeSystem sys;
    sys.Add(QStringLiteral("event2"), kTouchpad);
    sys.Add(QStringLiteral("event5"), kPen);
    sys.Add(QStringLiteral("event7"), kHidPuck);
    sys.failures[sys.Node(QStringLiteral("event5"))] = ENODEV;
    for (const QString& variable : {QString(), QStringLiteral("evdev")}) {
        std::optional<PadLinkChoice> choice = ChooseEvdevPadLink(variable, sys.Environment());
        ASSERT_TRUE(choice);
        EXPECT_NE(dynamic_cast<EvdevPadLink*>(choice->library.get()), nullptr)
            << variable.toStdString();
        EXPECT_FALSE(choice->onScreenPad);
        EXPECT_TRUE(choice->loadError.isEmpty()) << choice->loadError.toStdString();
        EXPECT_EQ(choice->deviceName, sys.Node(QStringLiteral("event7")));
        ASSERT_TRUE(choice->axes);
        EXPECT_EQ(choice->axes->x.minimum, -100);
        EXPECT_EQ(choice->axes->y.resolution, 150);
    }
}

TEST(EvdevPadChoice, tablets_that_cannot_be_opened_give_the_on_screen_pad_and_one_notice) {
    struct Case {
        const char* name;
        int error;
        std::vector<const char*> mentions;
    };
    for (const Case& c : {
             Case{
                 "no permission", EACCES, {"Wacom Intuos Pro M Pen", "event5", "input", "uaccess"}},
             Case{"not permitted", EPERM, {"HID 1ab0:3003 Digitizer Puck", "event7", "uaccess"}},
             Case{"other failure", ENODEV, {"Wacom Intuos Pro M Pen", "event5"}},
         }) {
        FakeSystem sys;
        sys.Add(QStringLiteral("event5"), kPen);
        sys.Add(QStringLiteral("event7"), kHidPuck);
        sys.failures[sys.Node(QStringLiteral("event5"))] = c.error;
        sys.failures[sys.Node(QStringLiteral("event7"))] = c.error;
        std::optional<PadLinkChoice> choice = ChooseEvdevPadLink(QString(), sys.Environment());
        ASSERT_TRUE(choice);
        EXPECT_TRUE(choice->onScreenPad) << c.name;
        EXPECT_EQ(choice->library, nullptr) << c.name;
        for (const char* text : c.mentions)
            EXPECT_TRUE(choice->loadError.contains(QString::fromUtf8(text)))
                << c.name << ": " << text << " in " << choice->loadError.toStdString();
    }
}

TEST(EvdevPadChoice, without_a_tablet_only_an_explicit_request_is_told) {
    FakeSystem sys;
    sys.Add(QStringLiteral("event1"), kTouchpad);
    std::optional<PadLinkChoice> quiet = ChooseEvdevPadLink(QString(), sys.Environment());
    ASSERT_TRUE(quiet);
    EXPECT_TRUE(quiet->onScreenPad);
    EXPECT_TRUE(quiet->loadError.isEmpty());
    std::optional<PadLinkChoice> asked =
        ChooseEvdevPadLink(QStringLiteral("evdev"), sys.Environment());
    ASSERT_TRUE(asked);
    EXPECT_TRUE(asked->onScreenPad);
    EXPECT_FALSE(asked->loadError.isEmpty());
    EXPECT_TRUE(sys.opened.empty()) << "a touchpad is never opened";
}

TEST(EvdevPadChoice, a_named_node_is_used_through_its_by_id_link) {
    FakeSystem sys;
    sys.Add(QStringLiteral("event5"), kPen);
    sys.Add(QStringLiteral("event6"), kTouchscreen);
    const QString pen =
        sys.Link(QStringLiteral("usb-Wacom_Intuos_Pro_M-event-stylus"), QStringLiteral("event5"));
    std::optional<PadLinkChoice> choice =
        ChooseEvdevPadLink(QStringLiteral("evdev:") + pen, sys.Environment());
    ASSERT_TRUE(choice);
    EXPECT_NE(dynamic_cast<EvdevPadLink*>(choice->library.get()), nullptr);
    EXPECT_EQ(sys.opened, std::vector<QString>{pen});

    // Refused: the notice names the device behind the link, and the link.
    sys.failures[sys.Node(QStringLiteral("event5"))] = EACCES;
    choice = ChooseEvdevPadLink(QStringLiteral("evdev:") + pen, sys.Environment());
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->onScreenPad);
    EXPECT_TRUE(choice->loadError.contains(QStringLiteral("Wacom Intuos Pro M Pen")));
    EXPECT_TRUE(choice->loadError.contains(pen));

    // Named but absent.
    choice = ChooseEvdevPadLink(QStringLiteral("evdev:") + sys.Node(QStringLiteral("event99")),
                                sys.Environment());
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->onScreenPad);
    EXPECT_TRUE(choice->loadError.contains(QStringLiteral("event99")));
}

TEST(EvdevPadChoice, a_recording_plays_through_the_evdev_library) {
    FakeSystem sys;
    std::optional<PadLinkChoice> choice = ChooseEvdevPadLink(
        QStringLiteral("evemu:" KALVOR_TEST_DATA "/hid-pen.evemu"), sys.Environment());
    ASSERT_TRUE(choice);
    EXPECT_NE(dynamic_cast<EvdevPadLink*>(choice->library.get()), nullptr);
    EXPECT_TRUE(choice->loadError.isEmpty());
    EXPECT_EQ(choice->deviceName, QStringLiteral("HID 256c:0064 Pen"));
    ASSERT_TRUE(choice->axes);
    EXPECT_EQ(choice->axes->x.minimum, 200);
    EXPECT_EQ(choice->axes->ResolutionLine(),
              QStringLiteral("このタブレットの分解能: X 100 / Y 80 カウント/mm"));

    choice = ChooseEvdevPadLink(QStringLiteral("evemu:/nonexistent/pen.evemu"), sys.Environment());
    ASSERT_TRUE(choice);
    EXPECT_NE(dynamic_cast<NullPadLink*>(choice->library.get()), nullptr);
    EXPECT_TRUE(choice->loadError.contains(QStringLiteral("/nonexistent/pen.evemu")));
}

TEST(EvdevPadChoice, other_values_are_not_the_evdev_librarys) {
    FakeSystem sys;
    for (const char* value : {"none", "virtual", "replay:x.txt", "PadLink.dll", "evdev2", "Evdev"})
        EXPECT_FALSE(ChooseEvdevPadLink(QString::fromLatin1(value), sys.Environment())) << value;
}
