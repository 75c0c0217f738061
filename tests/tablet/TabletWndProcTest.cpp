#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "tablet/TabletWndProc.h"
#include "tablet/WintabPacketEvent.h"

namespace {

// A window that logs the events it is given.
class Window : public QObject {
  public:
    explicit Window(std::vector<std::string>& log) : log_(log) {}
    bool event(QEvent* e) override {
        if (e->type() == WintabPacketEvent::EventType()) {
            const auto* packet = static_cast<WintabPacketEvent*>(e);
            log_.push_back("window " + std::to_string(packet->Message()));
        } else if (e->type() == QEvent::User) {
            log_.push_back("window user");
        }
        return QObject::event(e);
    }

  private:
    std::vector<std::string>& log_;
};

}  // namespace

TEST(TabletWndProc, window_sees_every_event_then_handler_runs_for_the_packet) {
    std::vector<std::string> log;
    Window window(log);
    TabletWndProc proc([&](std::int32_t w, std::int32_t l) {
        log.push_back("handler " + std::to_string(w) + " " + std::to_string(l));
    });
    proc.Install(&window);
    EXPECT_TRUE(proc.IsInstalled());

    PostWintabPacket(&window, 7, -3);
    QCoreApplication::postEvent(&window, new WintabPacketEvent(0x0200, 1, 1));
    QCoreApplication::postEvent(&window, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&window);

    EXPECT_EQ(log, (std::vector<std::string>{"window 32752", "handler 7 -3", "window 512",
                                             "window user"}));
}

TEST(TabletWndProc, removed_procedure_calls_no_handler) {
    std::vector<std::string> log;
    Window window(log);
    int handled = 0;
    TabletWndProc proc([&](std::int32_t, std::int32_t) { ++handled; });
    proc.Install(&window);
    proc.Remove();
    EXPECT_FALSE(proc.IsInstalled());
    PostWintabPacket(&window);
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(log, std::vector<std::string>{"window 32752"});
}
