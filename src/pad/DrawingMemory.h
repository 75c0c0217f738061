#pragma once

#include <QPointF>
#include <QString>
#include <QTimer>
#include <optional>

#include "measure/ui/SideWindowSettings.h"

// The drawing on the pad as the settings keep it: the file, the page, the
// zoom and the paper at the view's centre, and the resolution the operator
// gave an image that had none. Written as they change, so that after a
// crash the drawing is back where it was; a zoom or a move only after a
// short pause, since a drag makes hundreds. Nothing is written for an
// operator who never opens a drawing: the keys appear with the first one.
class DrawingMemory {
  public:
    struct State {
        QString file;
        // From 1.
        int page = 1;
        // 1 is the paper's own size on the screen.
        double zoom = 1.0;
        // Millimetres from the page's top-left corner.
        QPointF centreMm;
        // Dots per inch given for an image without its own; 0 for none.
        double untaggedDpi = 0;
    };

    // How long a zoom or a move waits before it is written, milliseconds.
    static constexpr int kPauseMs = 800;

    explicit DrawingMemory(SideWindowSettings& settings);
    ~DrawingMemory();

    // What was open; none when the pad was blank. `placed` is false when
    // the file holds no usable zoom and centre (then the page is fitted).
    struct Recalled {
        State state;
        bool placed = false;
    };
    std::optional<Recalled> Recall() const;

    // `now`: at once (a drawing opened), else after the pause (a zoom, a
    // move).
    void Remember(const State& state, bool now);
    // The pad is blank now.
    void Forget();
    // Whether the settings keep `path` as it is (none cut a long one).
    bool Holds(const QString& path) const { return settings_.Holds(path); }
    // Writes what waits for its pause.
    void Flush();

  private:
    SideWindowSettings& settings_;
    QTimer timer_;
    std::optional<State> pending_;
};
