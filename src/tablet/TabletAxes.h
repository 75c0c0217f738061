#pragma once

#include <QString>
#include <cstdint>

// One axis of a tablet as the device describes it, in tablet counts. The
// resolution is in counts per millimetre, 0 when the device does not say.
struct TabletAxis {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t resolution = 0;
};

// The X and Y axes of a tablet: the area the pen can reach and, where the
// device reports it, how many counts make a millimetre along each axis.
struct TabletAxes {
    TabletAxis x;
    TabletAxis y;

    // "このタブレットの分解能: X 200 / Y 200 カウント/mm", or empty when the
    // device reports no resolution for either axis.
    QString ResolutionLine() const;
};
