#pragma once

#include <QString>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "tablet/QueuedPadLink.h"

// One line of a replay file.
struct ReplayEvent {
    enum class Kind { Pick, Stroke, Side, Wait };
    Kind kind = Kind::Pick;
    // Pick: one point; Stroke: its points in order.
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
    // Wait: milliseconds before the next line goes out.
    int waitMs = 0;
};

struct ReplayParseResult {
    std::vector<ReplayEvent> events;
    // One message per bad line, naming the source and the 1-based line.
    std::vector<QString> errors;
};

// Parses a replay text: one event per line (ended by LF, CR LF or a lone CR),
// blank lines and lines starting with "#" ignored:
//   pick X Y            one pen pick at tablet counts X, Y
//   stroke X1 Y1 ...    one pen stroke through those points in order
//   side                the pen's side switch
//   wait MS             the next line is delivered MS milliseconds later
// A bad line (a number field with anything but its number among them) is
// reported and skipped.
ReplayParseResult ParseReplay(const QString& text, const QString& sourceName);

// A tablet library that plays a replay file, so that the real executable can
// be driven end to end from outside. Each line is delivered as one
// notification after the message loop runs, about 50 ms apart unless a
// `wait` says otherwise. In mode 1 (strokes) a stroke yields all its points
// with lStrokeEnd 1 on the last, and a pick one point with lStrokeEnd 1; in
// mode 0 (picks) a pick yields its point with lStrokeEnd 1 and a stroke only
// its first point, with lStrokeEnd 1. lLogX, lLogY equal the pen coordinates.
class ReplayPadLink : public QueuedPadLink {
  public:
    // No replay of a session comes near this size; a larger file is refused
    // unread.
    static constexpr qint64 kMaxBytes = qint64{16} * 1024 * 1024;

    // Reads and parses a regular file of at most kMaxBytes; problems go to
    // standard error, one line each, naming the file and line.
    explicit ReplayPadLink(const QString& path);
    explicit ReplayPadLink(std::vector<ReplayEvent> events);

    void PadlinkInit(WindowHandle window, std::int32_t debugSwitch, std::int32_t reserved) override;
    void PadlinkClose() override;

    // Events not yet delivered.
    std::size_t Remaining() const { return events_.size() - next_; }
    // Why the file was not read (missing, a FIFO or a device, too large);
    // empty when it was.
    const QString& Problem() const { return problem_; }

  private:
    void DeliverNext();

    QString source_;
    QString problem_;
    std::vector<ReplayEvent> events_;
    std::size_t next_ = 0;
    QTimer timer_;
};
