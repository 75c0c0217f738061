#pragma once

#include <QString>
#include <optional>

#include "tablet/TabletAxes.h"

// What a tablet library tells the operator about the tablet itself, beside
// its points: the window shows it where it shows its other troubles.
struct TabletNotice {
    enum class Kind {
        // The tablet in use went away; its pen gives nothing until one is
        // back. Lasts until PluggedIn.
        Unplugged,
        // A tablet came (back) and is read from now on.
        PluggedIn,
        // Events were lost inside a pick: no point was taken for it.
        PointLost,
        // A recording or replay file gave nothing to play.
        NothingPlayed,
    };
    Kind kind = Kind::Unplugged;
    // For the operator, in Japanese; also written to standard error.
    QString text;
    // PluggedIn: the new tablet's axes, where it describes them.
    std::optional<TabletAxes> axes;
};
