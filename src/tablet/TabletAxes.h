#pragma once

#include <QString>
#include <cstdint>

// One axis of a tablet as the device describes it, in tablet counts. The
// resolution is in counts per millimetre, 0 when the device does not say.
struct TabletAxis {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    double resolution = 0.0;
};

// The X and Y axes of a tablet: the area the pen can reach and, where the
// device reports it, how many counts make a millimetre along each axis.
//
// A tablet whose axes count at different resolutions (100 counts/mm across
// and 80 up, say) would make one scale wrong on one of them: a vertical line
// would read 20 % short after a calibration along X, and every area would be
// off. Where both resolutions are known, a library therefore brings both
// axes to the finer axis's count before any point leaves it (ToCommonX,
// ToCommonY): the coarser axis is multiplied by finer / coarser and rounded.
// With an unknown resolution on either axis nothing changes.
struct TabletAxes {
    TabletAxis x;
    TabletAxis y;

    // Both axes report a resolution, and they differ.
    bool Unequal() const;
    // Counts per millimetre on both axes once brought to one count: the
    // finer axis's resolution; 0 when either axis does not report one.
    double CommonResolution() const;
    // A raw count of the device's X or Y axis in the common count, saturated
    // to 32 bits.
    std::int32_t ToCommonX(std::int32_t counts) const;
    std::int32_t ToCommonY(std::int32_t counts) const;
    // These axes as the library delivers them: minimum, maximum and
    // resolution in the common count.
    TabletAxes Common() const;

    // "このタブレットの分解能: X 200 / Y 200 カウント/mm", followed, when the two
    // differ, by the count every measurement and calibration uses; empty when
    // the device reports no resolution for either axis.
    QString ResolutionLine() const;
};
