// The Wintab library against a stand-in wintab32.dll: the context it opens,
// and packets posted to its window on their way to the contract.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <memory>
#include <string>
#include <vector>

#include "AnsweringWindow.h"
#include "FakeWintab.h"
#include "QStringPrinter.h"
#include "tablet/WintabPacketEvent.h"
#include "tablet/wintab/WintabPadLink.h"

namespace {

// Counts the WintabPacketEvents the library posts to it.
class Window : public QObject {
  public:
    int packets = 0;
    bool event(QEvent* e) override {
        if (e->type() == WintabPacketEvent::EventType()) ++packets;
        return QObject::event(e);
    }
};

template <typename Function>
Function Control(HMODULE fake, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(fake, name)));
}

class WintabPadLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Loaded here too, so that the test can drive it; the library's own
        // load then finds the same module.
        fake_ = LoadLibraryW(reinterpret_cast<const wchar_t*>(path_.utf16()));
        ASSERT_NE(fake_, nullptr) << path_.toStdString() << " error " << GetLastError();
        reset_ = Control<FakeWintabResetFunction>(fake_, "FakeWintabReset");
        push_ = Control<FakeWintabPushFunction>(fake_, "FakeWintabPush");
        leave_ = Control<FakeWintabLeaveFunction>(fake_, "FakeWintabLeave");
        inspect_ = Control<FakeWintabInspectFunction>(fake_, "FakeWintabInspect");
        resolution_ = Control<FakeWintabResolutionFunction>(fake_, "FakeWintabResolution");
        ASSERT_TRUE(reset_ && push_ && leave_ && inspect_ && resolution_);
        reset_(TRUE, TRUE);
        hwnd_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override {
        library_.reset();
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
        if (fake_ != nullptr) FreeLibrary(fake_);
    }

    std::unique_ptr<WintabPadLink> Load(QString* why = nullptr) {
        // Every window the library is given has the test's native window.
        return WintabPadLink::Load(
            [this](QObject* w) { return w != nullptr ? reinterpret_cast<quintptr>(hwnd_) : 0; },
            why, path_);
    }

    // Lets the message loop run until the window has `count` notifications.
    bool AwaitPackets(int count) {
        QDeadlineTimer deadline(5000);
        while (window_.packets < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return window_.packets >= count;
    }

    // What the window's handler fetches for one notification.
    std::vector<std::string> Fetch() {
        std::vector<std::string> out;
        const std::int32_t n = library_->PadlinkWintab(0, 0);
        if (n < 0) out.push_back("side");
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t lx, ly, px, py, end;
            library_->PadlinkGetData(0, lx, ly, px, py, end);
            out.push_back(std::to_string(px) + "," + std::to_string(py) + (end ? "!" : ""));
            if (library_->PadlinkGetDataCnt() == 0) break;
        }
        return out;
    }

    const QString path_ =
        QDir::toNativeSeparators(QFileInfo(QStringLiteral(FAKE_WINTAB_DLL)).absoluteFilePath());
    HMODULE fake_ = nullptr;
    FakeWintabResetFunction reset_ = nullptr;
    FakeWintabPushFunction push_ = nullptr;
    FakeWintabLeaveFunction leave_ = nullptr;
    FakeWintabInspectFunction inspect_ = nullptr;
    FakeWintabResolutionFunction resolution_ = nullptr;
    HWND hwnd_ = nullptr;
    Window window_;
    std::unique_ptr<WintabPadLink> library_;
};

}  // namespace

TEST_F(WintabPadLinkTest, opens_a_digitizing_context_in_tablet_counts_on_the_window) {
    library_ = Load();
    ASSERT_NE(library_, nullptr);
    // The load tried a context and closed it again.
    EXPECT_EQ(inspect_()->opens, 1);
    EXPECT_EQ(inspect_()->closes, 1);

    library_->PadlinkInit(&window_, 0, 0);
    const FakeWintabState& s = *inspect_();
    EXPECT_EQ(s.opens, 2);
    EXPECT_EQ(s.owner, hwnd_);
    EXPECT_EQ(s.options & 0x0004u, 0x0004u) << "CXO_MESSAGES";
    EXPECT_EQ(s.options & 0x0001u, 0u) << "a digitizing context, not the system's";
    EXPECT_EQ(s.msgBase, 0x7FF0u);
    EXPECT_EQ(s.pktData, 0x01F3u);
    EXPECT_EQ(s.pktMode, 0u);
    EXPECT_EQ(s.outOrgX, 0);
    EXPECT_EQ(s.outOrgY, 0);
    EXPECT_EQ(s.outExtX, s.inExtX);
    EXPECT_EQ(s.outExtY, s.inExtY);
    EXPECT_EQ(s.queueSize, 256);
    EXPECT_GE(s.overlaps, 1);

    library_->PadlinkClose();
    EXPECT_EQ(inspect_()->closes, 2);
}

TEST_F(WintabPadLinkTest, packets_posted_to_the_window_become_points_and_side_presses) {
    library_ = Load();
    ASSERT_NE(library_, nullptr);
    library_->PadlinkInit(&window_, 0, 0);
    library_->PadlinkSetMode(1);

    // A short stroke, then the barrel button while hovering, then leaving.
    push_(0, 1, 1, 0, 100, 200);
    push_(0, 2, 1, 1, 110, 200);
    push_(0, 3, 1, 1, 120, 210);
    push_(0, 4, 1, 0, 120, 210);
    push_(0, 5, 1, 2, 130, 220);
    push_(0, 6, 1, 0, 130, 220);
    leave_();
    ASSERT_TRUE(AwaitPackets(1));
    // One notification for the whole batch, not one per packet.
    EXPECT_EQ(window_.packets, 1);
    EXPECT_EQ(Fetch(), (std::vector<std::string>{"110,200", "120,210", "120,210!"}));
    // The side press behind those points gets a notification of its own.
    ASSERT_TRUE(AwaitPackets(2));
    EXPECT_EQ(Fetch(), (std::vector<std::string>{"side"}));
    EXPECT_EQ(library_->PadlinkWintab(0, 0), 0);

    // Closed, the library no longer listens.
    library_->PadlinkClose();
    push_(0, 7, 1, 1, 140, 230);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(window_.packets, 2);
}

TEST_F(WintabPadLinkTest, driver_without_tablet_or_refusing_the_context_is_reported) {
    struct Case {
        BOOL tablet;
        BOOL opens;
        const char* why;
    };
    for (const Case& c : {Case{FALSE, TRUE, "タブレットが見つかりません。"},
                          Case{TRUE, FALSE, "タブレットを開けません。"}}) {
        reset_(c.tablet, c.opens);
        QString why;
        EXPECT_EQ(Load(&why), nullptr);
        EXPECT_EQ(why, QString::fromUtf8(c.why));
    }
}

// Hover, tap, side switch, move, tap: the tap after the side press waits
// behind it and is announced without another packet.
TEST_F(WintabPadLinkTest, picks_around_a_side_press_all_arrive) {
    library_ = Load();
    ASSERT_NE(library_, nullptr);
    AnsweringWindow window(*library_);
    library_->PadlinkInit(&window, 0, 0);
    ExpectPicksAroundASidePressAllArrive(*library_, window, [&] {
        UINT serial = 1;
        for (const auto& [buttons, x] : {std::pair{0u, 10},
                                         {1u, 10},
                                         {0u, 10},
                                         {2u, 10},
                                         {0u, 10},
                                         {0u, 20},
                                         {1u, 20},
                                         {0u, 20}})
            push_(0, serial++, 1, buttons, x, x);
    });
}

// 200 counts/mm across, 100 up: Y is brought to X's count, and the axes say
// both.
TEST_F(WintabPadLinkTest, unequal_resolutions_reach_the_window_in_one_count) {
    resolution_(5080u << 16, 2540u << 16, 1);
    library_ = Load();
    ASSERT_NE(library_, nullptr);
    ASSERT_TRUE(library_->Axes());
    EXPECT_DOUBLE_EQ(library_->Axes()->x.resolution, 200.0);
    EXPECT_DOUBLE_EQ(library_->Axes()->y.resolution, 100.0);
    library_->PadlinkInit(&window_, 0, 0);
    push_(0, 1, 1, 1, 1000, 500);
    ASSERT_TRUE(AwaitPackets(1));
    EXPECT_EQ(Fetch(), (std::vector<std::string>{"1000,1000!"}));
}
