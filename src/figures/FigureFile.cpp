#include "figures/FigureFile.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>
#include <tuple>

#include "files/RegularFile.h"
#include "grid/GridModel.h"
#include "grid/NumberText.h"

namespace {

// Version 1 lines end after `arcs`; version 2 adds `sign` and `part`.
constexpr int kFieldCountV1 = 15;
constexpr int kFieldCount = 17;
// A grid has at most 10,000 rows of 1,000 columns; anything beyond is not a
// line this program wrote.
constexpr int kMaxRow = 10'000;
constexpr int kMaxCol = 1'000;
// The points a whole file may bring back: about 160 MB of them.
constexpr std::size_t kMaxFilePoints = 20'000'000;

// The words the file uses for a mode and for a source, in the enums' order.
template <typename T>
struct Named {
    T value;
    std::string_view name;
};
constexpr std::array<Named<FigureMode>, 6> kModeNames{{
    {FigureMode::TwoPointDistance, "distance"},
    {FigureMode::PickedArea, "picked-area"},
    {FigureMode::TracedArea, "traced-area"},
    {FigureMode::PickedLength, "picked-length"},
    {FigureMode::TracedLength, "traced-length"},
    {FigureMode::Coordinate, "coordinate"},
}};

constexpr std::array<Named<FigureSourceKind>, 3> kSourceNames{{
    {FigureSourceKind::Tablet, "tablet"},
    {FigureSourceKind::BlankPad, "pad"},
    {FigureSourceKind::Drawing, "drawing"},
}};

void AppendInt(QByteArray& out, std::int64_t value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end - buffer);
}

// The time as UTC, "2026-12-09T01:23:45.678Z": written for every figure of
// every autosave, so by hand rather than through a date object.
void AppendTime(QByteArray& out, std::int64_t ms) {
    using namespace std::chrono;
    const sys_time<milliseconds> time{milliseconds(ms)};
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss<milliseconds> clock(time - day);
    const int year = static_cast<int>(date.year());
    if (year < 0 || year > 9999) {
        // Beyond four digits: as the date object writes it, still read back.
        out.append(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1());
        return;
    }
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", year,
                                     static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                                     static_cast<int>(clock.hours().count()),
                                     static_cast<int>(clock.minutes().count()),
                                     static_cast<int>(clock.seconds().count()),
                                     static_cast<int>(clock.subseconds().count()));
    out.append(text, length);
}

// Reads what AppendTime writes (and "+00:00" for "Z", as the first files
// have it) without a date object; anything else through one.
std::optional<std::int64_t> ParseTime(std::string_view text) {
    using namespace std::chrono;
    const auto number = [&](std::size_t at, std::size_t digits) -> int {
        int value = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const bool zone = text.size() == 24 ? text.substr(23) == "Z"
                      : text.size() == 29 ? text.substr(23) == "+00:00"
                                          : false;
    if (zone && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':' &&
        text[16] == ':' && text[19] == '.') {
        const int y = number(0, 4), mo = number(5, 2), d = number(8, 2), h = number(11, 2),
                  mi = number(14, 2), se = number(17, 2), ms = number(20, 3);
        const year_month_day date{year(y), month(static_cast<unsigned>(mo)), day(static_cast<unsigned>(d))};
        if (y >= 0 && date.ok() && h >= 0 && h < 24 && mi >= 0 && mi < 60 && se >= 0 && se < 60 && ms >= 0)
            return (sys_days(date).time_since_epoch() + hours(h) + minutes(mi) + seconds(se) + milliseconds(ms))
                       / milliseconds(1);
    }
    const QDateTime time = QDateTime::fromString(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), Qt::ISODateWithMs);
    if (!time.isValid()) return std::nullopt;
    return time.toMSecsSinceEpoch();
}

// Text fields: UTF-8 with the separators and the escape itself escaped.
void AppendText(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (std::none_of(utf8.cbegin(), utf8.cend(),
                     [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n' || ch == '%'; })) {
        out.append(utf8);
        return;
    }
    for (const char ch : utf8) {
        switch (ch) {
            case '\t': out.append("%09"); break;
            case '\r': out.append("%0D"); break;
            case '\n': out.append("%0A"); break;
            case '%': out.append("%25"); break;
            default: out.append(ch);
        }
    }
}

// Shortest text that reads back as the same double.
void AppendDouble(QByteArray& out, double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end - buffer);
}

void AppendLine(QByteArray& out, int row, int col, const KeptFigure& f, int part) {
    AppendInt(out, row);
    out.append('\t');
    AppendInt(out, col);
    out.append('\t');
    AppendText(out, f.value);
    out.append('\t');
    out.append(kModeNames[static_cast<std::size_t>(f.mode)].name.data(),
               static_cast<qsizetype>(kModeNames[static_cast<std::size_t>(f.mode)].name.size()));
    out.append('\t');
    AppendTime(out, f.timeMs);
    out.append('\t');
    AppendText(out, f.referenceLength);
    out.append('\t');
    AppendText(out, f.tabletLength);
    out.append('\t');
    AppendDouble(out, f.verticalFactor);
    out.append('\t');
    AppendText(out, f.unit);
    out.append('\t');
    AppendDouble(out, f.countsPerMm);
    out.append('\t');
    const std::string_view source = kSourceNames[static_cast<std::size_t>(f.source)].name;
    out.append(source.data(), static_cast<qsizetype>(source.size()));
    out.append('\t');
    AppendInt(out, f.page);
    out.append('\t');
    AppendText(out, f.sourceName);
    out.append('\t');
    // Straight into the buffer: the points are most of the file. Each takes
    // at most two 11-character numbers and two separators.
    const qsizetype at = out.size();
    out.resize(at + static_cast<qsizetype>(f.points.size()) * 24);
    char* to = out.data() + at;
    char* const last = out.data() + out.size();
    for (std::size_t i = 0; i < f.points.size(); ++i) {
        if (i > 0) *to++ = ' ';
        to = std::to_chars(to, last, f.points[i].x).ptr;
        *to++ = ',';
        to = std::to_chars(to, last, f.points[i].y).ptr;
    }
    out.truncate(to - out.constData());
    out.append('\t');
    for (std::size_t i = 0; i < f.arcMiddles.size(); ++i) {
        if (i > 0) out.append(' ');
        AppendInt(out, f.arcMiddles[i]);
    }
    out.append(f.minus ? "\t-\t" : "\t+\t");
    AppendInt(out, part);
    out.append('\n');
}

std::string_view View(QByteArrayView bytes) {
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

template <typename T>
bool ParseInt(std::string_view text, T& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// A finite number, written as AppendDouble writes it.
bool ParseDouble(std::string_view text, double& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() &&
           value >= -std::numeric_limits<double>::max() &&
           value <= std::numeric_limits<double>::max();
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

bool ParseText(std::string_view text, QString& value) {
    if (text.find('%') == std::string_view::npos) {
        value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return true;
    }
    QByteArray utf8;
    utf8.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            utf8.append(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return false;
        utf8.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    value = QString::fromUtf8(utf8);
    return true;
}

template <typename T, std::size_t N>
bool ParseName(const std::array<Named<T>, N>& names, std::string_view text, T& value) {
    for (const Named<T>& entry : names) {
        if (entry.name == text) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

// Why the points cannot be read; empty when they were.
QString ParsePoints(std::string_view text, std::vector<FigurePoint>& points, std::size_t room) {
    const QString bad = QStringLiteral("bad points");
    if (text.empty()) return {};
    const auto pairs = static_cast<std::size_t>(std::count(text.begin(), text.end(), ' ')) + 1;
    if (pairs > room) return QStringLiteral("too many points");
    points.reserve(pairs);
    // "x,y" pairs separated by single spaces, in one pass.
    const char* p = text.data();
    const char* const end = p + text.size();
    while (true) {
        FigurePoint point;
        auto [afterX, ex] = std::from_chars(p, end, point.x);
        if (ex != std::errc() || afterX == end || *afterX != ',') return bad;
        auto [afterY, ey] = std::from_chars(afterX + 1, end, point.y);
        if (ey != std::errc()) return bad;
        points.push_back(point);
        if (afterY == end) return {};
        if (*afterY != ' ' || afterY + 1 == end) return bad;
        p = afterY + 1;
    }
}

// Each arc's middle has a pick on both sides and follows the last arc's end.
bool ParseArcs(std::string_view text, std::size_t points, std::vector<std::int32_t>& arcs) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        std::int32_t middle = 0;
        if (!ParseInt(text.substr(pos, end - pos), middle) || middle < 1 ||
            static_cast<std::size_t>(middle) + 1 >= points ||
            (!arcs.empty() && middle < arcs.back() + 2))
            return false;
        arcs.push_back(middle);
        if (end == text.size()) break;
        pos = end + 1;
        if (pos == text.size()) return false;
    }
    return true;
}

// One figure line as read: `part` is its place in its cell's sum (0: the
// cell's own figure).
struct FigureLine {
    int row = 0;
    int col = 0;
    int part = 0;
    std::shared_ptr<KeptFigure> figure;
};

// The texts most lines repeat (the scale, the unit, the drawing's file):
// read once and shared by every figure that has them.
struct RepeatedTexts {
    struct Last {
        std::string_view raw;
        QString text;
    };
    std::array<Last, 4> last;

    bool Parse(std::size_t which, std::string_view raw, QString& value) {
        Last& l = last[which];
        if (!l.raw.empty() && raw == l.raw) {
            value = l.text;
            return true;
        }
        if (!ParseText(raw, value)) return false;
        l = {raw, value};
        return true;
    }
};

// Why one figure line cannot be read; empty when it was.
QString ParseLine(std::string_view line, int fieldCount, FigureLine& at, std::size_t pointsRoom,
                  RepeatedTexts& repeated) {
    std::array<std::string_view, kFieldCount> fields;
    std::size_t count = 0;
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = line.find('\t', pos);
        if (count == static_cast<std::size_t>(fieldCount)) return QStringLiteral("too many fields");
        fields[count++] = line.substr(pos, tab == std::string_view::npos ? line.npos : tab - pos);
        if (tab == std::string_view::npos) break;
        pos = tab + 1;
    }
    if (count != static_cast<std::size_t>(fieldCount))
        return QStringLiteral("%1 fields, not %2").arg(count).arg(fieldCount);
    int& part = at.part;
    bool minus = false;
    if (fieldCount == kFieldCount) {
        if (fields[15] != "+" && fields[15] != "-") return QStringLiteral("no sign");
        minus = fields[15] == "-";
        if (!ParseInt(fields[16], part) || part < 0) return QStringLiteral("no part");
    }

    auto figure = std::make_shared<KeptFigure>();
    if (!ParseInt(fields[0], at.row) || at.row < 1 || at.row > kMaxRow)
        return QStringLiteral("no row");
    if (!ParseInt(fields[1], at.col) || at.col < 1 || at.col > kMaxCol)
        return QStringLiteral("no column");
    // A sum's other figures have no value of their own.
    if (!ParseText(fields[2], figure->value) || (part == 0 && figure->value.isEmpty()))
        return QStringLiteral("no value");
    if (!ParseName(kModeNames, fields[3], figure->mode)) return QStringLiteral("unknown mode");
    const std::optional<std::int64_t> time = ParseTime(fields[4]);
    if (!time) return QStringLiteral("no time");
    figure->timeMs = *time;
    if (!repeated.Parse(0, fields[5], figure->referenceLength) ||
        !repeated.Parse(1, fields[6], figure->tabletLength))
        return QStringLiteral("no scale");
    if (!ParseDouble(fields[7], figure->verticalFactor) || !(figure->verticalFactor > 0))
        return QStringLiteral("no vertical factor");
    if (!repeated.Parse(2, fields[8], figure->unit)) return QStringLiteral("no unit");
    if (!ParseDouble(fields[9], figure->countsPerMm) || figure->countsPerMm < 0)
        return QStringLiteral("no counts per millimetre");
    if (!ParseName(kSourceNames, fields[10], figure->source)) return QStringLiteral("unknown source");
    if (!ParseInt(fields[11], figure->page) || figure->page < 0)
        return QStringLiteral("no page");
    if (!repeated.Parse(3, fields[12], figure->sourceName)) return QStringLiteral("no source name");
    if (QString why = ParsePoints(fields[13], figure->points, pointsRoom); !why.isEmpty()) return why;
    if (figure->points.empty()) return QStringLiteral("no point");
    if (!ParseArcs(fields[14], figure->points.size(), figure->arcMiddles))
        return QStringLiteral("bad arcs");
    figure->minus = minus;
    at.figure = std::move(figure);
    return {};
}

}  // namespace

QByteArray FigureFileBytes(const GridModel& grid, const std::vector<KeptFigureAt>& earlier) {
    // In the order of the cells, so that the file reads like the grid and
    // the same figures always give the same bytes; an earlier figure of a
    // cell before the grid's, which wins when both fit the value.
    struct Line {
        std::uint64_t key;
        bool current;
        const KeptFigure* figure;
        bool operator<(const Line& other) const {
            return std::tie(key, current) < std::tie(other.key, other.current);
        }
    };
    std::vector<Line> kept;
    kept.reserve(grid.Tags().size() + earlier.size());
    std::size_t points = 0;
    const auto add = [&](std::uint64_t key, bool current, const KeptFigure* figure) {
        kept.push_back({key, current, figure});
        for (const KeptFigure* f : figure->Figures()) points += f->points.size();
    };
    for (const auto& [key, tag] : grid.Tags())
        if (const auto* figure = dynamic_cast<const KeptFigure*>(tag.get())) add(key, true, figure);
    for (const KeptFigureAt& at : earlier)
        if (at.figure) add(GridModel::CellKey(at.row, at.col), false, at.figure.get());
    std::stable_sort(kept.begin(), kept.end());
    QByteArray out;
    // About 16 bytes a point and 160 for the rest of a line.
    out.reserve(static_cast<qsizetype>(sizeof kFigureFileHeader + points * 16 + kept.size() * 164));
    out.append(kFigureFileHeader);
    out.append('\n');
    for (const Line& line : kept) {
        const int row = GridModel::KeyRow(line.key);
        const int col = GridModel::KeyCol(line.key);
        AppendLine(out, row, col, *line.figure, 0);
        int part = 0;
        for (const KeptFigure& other : line.figure->parts) AppendLine(out, row, col, other, ++part);
    }
    return out;
}

FileWriteResult WriteFigureFile(const GridModel& grid, const QString& path,
                                const std::vector<KeptFigureAt>& earlier) {
    return WriteFileAtomically(path, FigureFileBytes(grid, earlier));
}

FigureFileContent ParseFigureFile(QByteArrayView bytes) {
    FigureFileContent content;
    const std::string_view text = View(bytes);
    std::size_t pos = 0;
    int number = 0;
    int fieldCount = kFieldCount;
    std::size_t pointsLeft = std::min(kMaxFilePoints, kMaxFigurePoints * 5);
    // The cell figure being read, still open for the other figures of its
    // sum; it is handed out once the next cell starts.
    FigureLine open;
    RepeatedTexts repeated;
    const auto close = [&] {
        if (open.figure) content.figures.push_back({open.row, open.col, std::move(open.figure)});
        open = {};
    };
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number == 1) {
            if (line == kFigureFileHeaderV1) {
                fieldCount = kFieldCountV1;
            } else if (line != kFigureFileHeader) {
                content.problems << QStringLiteral("line 1: not a figure file of this version");
                return content;
            }
            continue;
        }
        if (line.empty()) continue;
        FigureLine at;
        QString why = ParseLine(line, fieldCount, at, std::min(pointsLeft, kMaxFigurePoints), repeated);
        if (why.isEmpty() && at.part > 0 &&
            (!open.figure || open.row != at.row || open.col != at.col ||
             at.part != open.part + 1))
            why = QStringLiteral("a sum's figure without the one before it");
        if (!why.isEmpty()) {
            content.problems << QStringLiteral("line %1: %2").arg(number).arg(why);
            continue;
        }
        pointsLeft -= at.figure->points.size();
        if (at.part == 0) {
            close();
            open = std::move(at);
        } else {
            at.figure->value.clear();
            open.figure->parts.push_back(std::move(*at.figure));
            open.part = at.part;
        }
    }
    close();
    if (number == 0) content.problems << QStringLiteral("line 1: empty file");
    return content;
}

FigureFileContent ReadFigureFile(const QString& path) {
    const FileReadResult read = ReadRegularFile(path, kMaxFigureFileBytes, Links::Refuse);
    if (read.status == FileReadResult::Status::Missing) return {};
    if (!read.Ok()) {
        FigureFileContent refused;
        refused.problems << read.reason;
        return refused;
    }
    return ParseFigureFile(read.bytes);
}

int RestoreFigures(const FigureFileContent& content, GridModel& grid, int decimals) {
    int restored = 0;
    for (const KeptFigureAt& at : content.figures) {
        const QString cell = grid.TextMatrix(at.row, at.col);
        std::shared_ptr<const KeptFigure> figure = at.figure;
        if (cell != figure->value) {
            // Read back and written again as the recovery does.
            const std::optional<double> value = ParseNumber(figure->value);
            if (decimals < 0 || cell.isEmpty() || !value || IsFormattedDecimals(figure->value, decimals) ||
                FormatDecimals(*value, decimals) != cell)
                continue;
            auto reformed = std::make_shared<KeptFigure>(*figure);
            reformed->value = cell;
            figure = std::move(reformed);
        }
        if (grid.SetTag(at.row, at.col, std::move(figure))) ++restored;
    }
    return restored;
}
