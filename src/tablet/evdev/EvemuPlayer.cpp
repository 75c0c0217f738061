#include "tablet/evdev/EvemuPlayer.h"

#include <algorithm>
#include <utility>

namespace {

// A long pause in a recording is waited out in steps, so that the timer's
// millisecond count cannot overflow.
constexpr std::int64_t kLongestWaitMs = 60'000;

}  // namespace

EvemuPlayer::EvemuPlayer(EvemuRecording recording, int startDelayMs)
    : recording_(std::move(recording)), startDelayMs_(std::max(0, startDelayMs)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { PlayDue(); });
}

QString EvemuPlayer::NothingToPlay() const {
    const QString why = recording_.NothingToPlay();
    if (why.isEmpty()) return {};
    return QStringLiteral("記録「%1」から再生するものがありません（%2）").arg(recording_.source, why);
}

void EvemuPlayer::Start(Sink sink, std::function<void()>) {
    sink_ = std::move(sink);
    clock_.start();
    if (next_ < recording_.events.size()) timer_.start(startDelayMs_);
}

void EvemuPlayer::Stop() {
    timer_.stop();
    sink_ = nullptr;
}

void EvemuPlayer::PlayDue() {
    if (!sink_ || recording_.events.empty()) return;
    const std::int64_t origin = recording_.events.front().timeUs;
    // When each event is due, in microseconds since Start().
    const auto due = [&](std::size_t i) {
        return std::int64_t{startDelayMs_} * 1000 + (recording_.events[i].timeUs - origin);
    };
    const std::int64_t now = clock_.nsecsElapsed() / 1000;
    while (sink_ && next_ < recording_.events.size() && due(next_) <= now) {
        const EvemuRecording::Event& e = recording_.events[next_++];
        sink_(e.type, e.code, e.value);
    }
    if (sink_ && next_ < recording_.events.size()) {
        const std::int64_t waitMs = (due(next_) - now + 999) / 1000;
        timer_.start(static_cast<int>(std::clamp<std::int64_t>(waitMs, 0, kLongestWaitMs)));
    }
}
