#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// One point of a figure, in tablet counts.
struct FigurePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The figure being measured, as a window shows it: its points in tablet
// counts in the order they were taken, whether it is measured as an area
// (then it is drawn closed, from the last point back to the first), and one
// line that says what is measured and how far it has got. A plain value: it
// knows nothing of how it was measured.
struct Figure {
    std::vector<FigurePoint> points;
    bool closed = false;
    QString status;
    // What the operator must know beyond the figure (a tablet unplugged, a
    // pick lost, the pen shared with the desktop), shown after the status
    // where it stands out; empty for none.
    QString notice;
    // Arcs: the indexes of points picked on an arc, ascending. The sides
    // from point m - 1 through m to m + 1 are the circular arc through the
    // three, drawn and measured as such. The points stay as picked, so the
    // figure with its arcs is kept as points and these indexes.
    std::vector<std::int32_t> arcMiddles{};
    // The status line is a warning (a spread of repeated measurements over
    // its limit): shown highlighted.
    bool alert = false;
    // A sum of figures is on: the window's box "合算" shows it.
    bool summing = false;
    // Lines shown over the figure's top-left corner: the figures of a sum
    // with their signs, the values of repeated measurements.
    QStringList listing{};
};

// A rectangle of the tablet surface in counts, both ends included (a
// device's axis minimum and maximum). Y grows downward, as on a tablet.
struct TabletArea {
    std::int32_t minX = 0;
    std::int32_t minY = 0;
    std::int32_t maxX = 0;
    std::int32_t maxY = 0;

    bool IsEmpty() const { return maxX <= minX || maxY <= minY; }
};

// Where a figure's points come from.
enum class FigureSourceKind : std::uint8_t {
    Tablet,    // a tablet, by its name
    BlankPad,  // the on-screen pad without a drawing
    Drawing,   // a drawing on the pad: its file and page
};

struct FigureOrigin {
    FigureSourceKind kind = FigureSourceKind::Tablet;
    // The tablet's name or the drawing's file; empty on the blank pad.
    QString name;
    // The drawing's page, from 1; 0 for anything but a drawing.
    int page = 0;
};
