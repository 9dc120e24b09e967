// A running visibility animation: the snapshot of the screen behind a form and of the form
// itself, the progress t and its direction. Opening runs t from 0 to 1, closing from 1 to
// 0, at speed x 5 per second; the end releases both snapshots.
#pragma once

#include "skin/draw/RenderSurface.h"
#include "skin/draw/Transition.h"

namespace skin {

class SnapshotAnimation {
public:
    explicit SnapshotAnimation(TransitionKind kind)
        : m_kind(kind)
    {
    }
    TransitionKind kind() const { return m_kind; }

    // direction +1 opens the form, -1 closes it.
    void start(int direction, RenderSurface background, RenderSurface form);
    bool running() const { return m_running; }
    int direction() const { return m_direction; }
    // A running animation goes back from where it stands; nothing happens otherwise.
    void reverse();
    // Ends a running animation at once, releasing both snapshots.
    void stop();
    double progress() const { return m_progress; }
    void life_cycle(double elapsed_seconds);
    void draw(RenderSurface& target, Point origin, Point size) const;

private:
    TransitionKind m_kind;
    bool m_running { false };
    int m_direction { 1 };
    double m_progress { 1.0 };
    RenderSurface m_background;
    RenderSurface m_form;
};

} // namespace skin
