#include "tablet/replay/ReplayPadLink.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <utility>

#include "files/RegularFile.h"
#include "tablet/RecordingText.h"

namespace {

// The window must be up before the first pen event arrives; after that a
// line every 50 ms is slow enough for the handler and fast enough for tests.
constexpr int kFirstDeliveryMs = 300;
constexpr int kDeliveryIntervalMs = 50;

// Sums the wait lines that start at `next`, moving past them; nullopt when
// there are none. Clamped so that a long script cannot overflow the timer.
std::optional<int> TakeWaits(const std::vector<ReplayEvent>& events, std::size_t& next) {
    std::optional<std::int64_t> total;
    while (next < events.size() && events[next].kind == ReplayEvent::Kind::Wait) {
        total = std::min<std::int64_t>(total.value_or(0) + events[next].waitMs,
                                       std::numeric_limits<int>::max());
        ++next;
    }
    if (!total) {
        return std::nullopt;
    }
    return static_cast<int>(*total);
}

void PrintError(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// One line that carries something, trimmed, into `events`; why it is a bad
// one, or an empty text.
QString TakeReplayLine(const QString& line, std::vector<ReplayEvent>& events) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList tokens = line.split(blanks);
    const QString& keyword = tokens.front();
    const QStringList args = tokens.mid(1);

    std::vector<std::int32_t> numbers;
    bool numbersOk = true;
    for (const QString& arg : args) {
        const auto value = DecimalInt32(arg);
        if (!value) {
            numbersOk = false;
            break;
        }
        numbers.push_back(*value);
    }

    ReplayEvent event;
    if (keyword == QLatin1String("pick")) {
        if (!numbersOk || numbers.size() != 2)
            return QStringLiteral("pick needs two 32-bit integers X Y");
        event.kind = ReplayEvent::Kind::Pick;
        event.points.emplace_back(numbers[0], numbers[1]);
    } else if (keyword == QLatin1String("stroke")) {
        if (!numbersOk || numbers.empty() || numbers.size() % 2 != 0)
            return QStringLiteral("stroke needs one or more pairs of 32-bit integers X Y");
        event.kind = ReplayEvent::Kind::Stroke;
        for (std::size_t i = 0; i + 1 < numbers.size(); i += 2)
            event.points.emplace_back(numbers[i], numbers[i + 1]);
    } else if (keyword == QLatin1String("side")) {
        if (!args.isEmpty()) return QStringLiteral("side takes no arguments");
        event.kind = ReplayEvent::Kind::Side;
    } else if (keyword == QLatin1String("wait")) {
        if (!numbersOk || numbers.size() != 1 || numbers[0] < 0)
            return QStringLiteral("wait needs one non-negative integer of milliseconds");
        event.kind = ReplayEvent::Kind::Wait;
        event.waitMs = numbers[0];
    } else {
        return QStringLiteral("unknown keyword");
    }
    events.push_back(std::move(event));
    return {};
}

}  // namespace

ReplayParseResult ParseReplay(const QString& text, const QString& sourceName) {
    ReplayParseResult result;
    ForEachRecordingLine(text, sourceName, result.errors, [&result](const QString& line) {
        return TakeReplayLine(line, result.events);
    });
    return result;
}

ReplayPadLink::ReplayPadLink(const QString& path) : source_(path) {
    // The operator names it: a link to a regular file is fine.
    const FileReadResult read = ReadRegularFile(path, kMaxBytes, Links::Follow);
    if (!read.Ok()) {
        problem_ = read.reason;
        PrintError(QStringLiteral("%1: cannot read replay file: %2").arg(path, read.reason));
        return;
    }
    ReplayParseResult parsed = ParseReplay(QString::fromUtf8(read.bytes), path);
    for (const QString& error : parsed.errors) {
        PrintError(error);
    }
    events_ = std::move(parsed.events);
}

ReplayPadLink::ReplayPadLink(std::vector<ReplayEvent> events) : events_(std::move(events)) {}

void ReplayPadLink::PadlinkInit(WindowHandle window, std::int32_t debugSwitch,
                                std::int32_t reserved) {
    QueuedPadLink::PadlinkInit(window, debugSwitch, reserved);
    if (IsOpen() && problem_.isEmpty() && events_.empty()) {
        Tell({TabletNotice::Kind::NothingPlayed,
              QStringLiteral("再生ファイル「%1」に再生する行がありません").arg(source_), std::nullopt});
    }
    timer_.setSingleShot(true);
    QObject::disconnect(&timer_, nullptr, nullptr, nullptr);
    QObject::connect(&timer_, &QTimer::timeout, [this] { DeliverNext(); });
    if (!IsOpen()) {
        return;
    }
    // Leading waits add to the first delay.
    const int delay = static_cast<int>(std::min<std::int64_t>(
        std::int64_t{kFirstDeliveryMs} + TakeWaits(events_, next_).value_or(0),
        std::numeric_limits<int>::max()));
    if (next_ < events_.size()) {
        timer_.start(delay);
    }
}

void ReplayPadLink::DeliverNext() {
    if (!IsOpen() || next_ >= events_.size()) {
        return;
    }
    const ReplayEvent& event = events_[next_++];
    switch (event.kind) {
        case ReplayEvent::Kind::Pick:
        case ReplayEvent::Kind::Stroke:
            if (event.points.empty()) {
                break;
            }
            // The library's mode at delivery decides what the pen yields: strokes
            // deliver every point, picks only where the pen went down.
            if (Mode() == 1 && event.kind == ReplayEvent::Kind::Stroke) {
                for (std::size_t i = 0; i < event.points.size(); ++i) {
                    const auto [x, y] = event.points[i];
                    Queue().PushPoint({x, y, x, y, i + 1 == event.points.size() ? 1 : 0});
                }
            } else {
                const auto [x, y] = event.points.front();
                Queue().PushPoint({x, y, x, y, 1});
            }
            Deliver();
            break;
        case ReplayEvent::Kind::Side:
            Queue().PushSide();
            Deliver();
            break;
        case ReplayEvent::Kind::Wait:
            break;
    }

    // A wait (or several) after this line sets the delay to the next one.
    const int delay = TakeWaits(events_, next_).value_or(kDeliveryIntervalMs);
    if (next_ < events_.size()) {
        timer_.start(delay);
    }
}

void ReplayPadLink::PadlinkClose() {
    timer_.stop();
    QueuedPadLink::PadlinkClose();
}
