#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "tablet/TabletAxes.h"

// A recording of an input device in the text format of evemu-record, which
// libinput's users exchange in bug reports:
//
//   # EVEMU 1.3                       format version (comment lines start with #)
//   N: Wacom Intuos Pro M Pen         device name
//   I: 0003 056a 0357 0110            bus, vendor, product, version (hex)
//   P: 00 00 00 00 00 00 00 00        property bits, 8 bytes a line (hex)
//   B: 01 00 00 00 00 00 00 00 00     event type, then 8 bytes of its code bits;
//                                     further lines of a type continue its bits
//   A: 00 0 44800 4 0 200             axis code (hex), min, max, fuzz, flat,
//                                     resolution (counts/mm; absent before 1.2);
//                                     a minimum above the maximum is a bad line
//   L: 00 1, S: 00 1                  LED and switch states (read, not kept)
//   E: 0.000001 0003 0000 12345       seconds.microseconds, type (hex), code
//                                     (hex), value (decimal)
//
// Anything after "#" on an event line is a comment. A malformed line is
// reported, naming the source and its 1-based line, and skipped; reading
// never fails as a whole.
class EvemuRecording {
  public:
    struct Event {
        // Microseconds on the recording's clock.
        std::int64_t timeUs = 0;
        std::uint16_t type = 0;
        std::uint16_t code = 0;
        std::int32_t value = 0;
    };
    struct Axis {
        std::int32_t minimum = 0;
        std::int32_t maximum = 0;
        std::int32_t fuzz = 0;
        std::int32_t flat = 0;
        std::int32_t resolution = 0;
    };

    // No recording of a pen session comes near this size (an hour of a fast
    // pen is about a tenth of it); a larger file is refused unread.
    static constexpr qint64 kMaxBytes = qint64{64} * 1024 * 1024;

    // Lines may end in LF, CR LF or a lone CR. A number field holds its
    // number and nothing else: a field with any other character (a NUL
    // among them) makes the line a bad one.
    static EvemuRecording Parse(const QString& text, const QString& sourceName);
    // Reads and parses a regular file of at most kMaxBytes; a file that
    // cannot be read (missing, a FIFO or a device, too large) gives an
    // empty recording, `refusal` (when given) saying why, and one error.
    static EvemuRecording Read(const QString& path, QString* refusal = nullptr);

    // Why playing it would give nothing: no event at all, no SYN_REPORT to
    // end a frame, or an X or Y axis whose minimum exceeds its maximum.
    // Empty when it can be played.
    QString NothingToPlay() const;

    // The device supports this event code (its B: bits say so).
    bool Has(std::uint16_t type, std::uint16_t code) const;
    std::optional<Axis> AbsAxis(std::uint16_t code) const;
    // ABS_X and ABS_Y; zeros for an axis the recording does not describe.
    TabletAxes Axes() const;

    // Where it was read from, as given to Parse.
    QString source;
    QString name;
    std::uint16_t bus = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t version = 0;
    std::vector<Event> events;
    // One message per malformed line: "source:line: reason: text".
    std::vector<QString> errors;

  private:
    // One line that carries something, trimmed, by its kind; each returns
    // why the line is a bad one, or an empty text when it was taken.
    QString TakeLine(const QString& line);
    QString TakeIdentity(const QStringList& fields);
    QString TakeCodeBits(const QStringList& fields);
    QString TakeAxis(const QStringList& fields);
    QString TakeEvent(const QStringList& fields);

    std::set<std::uint32_t> codes_;          // type << 16 | code
    std::map<std::uint16_t, int> bitLines_;  // B: lines seen per type
    std::map<std::uint16_t, Axis> axes_;
};
