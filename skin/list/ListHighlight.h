// The highlight bar of a scrolling list driven by the keys: a position in rows (-1 for
// none) that slides at a speed each Up or Down adds to, stops on a selectable row once
// the key is up and never leaves the rows. Enter chooses the row under it.
#pragma once

#include "input/KeyCodes.h"

#include <functional>

namespace skin {

class ListHighlight {
public:
    static constexpr double key_speed = 200;       // px/s each Up or Down adds
    static constexpr int assumed_row_height = 40;  // px at scale shift 0, for rows not realized

    enum class KeyResult {
        ignored,   // not a key of the highlight
        handled,   // a key up that only ends the push
        moved,     // the highlight started or changed speed
        activate,  // Enter on the row index()
    };

    bool active() const { return m_position >= 0; }
    double position() const { return m_position; }
    double speed() const { return m_speed; }
    // The row under the bar: the position rounded half up.
    int index() const { return int(m_position + 0.5); }

    void clear()
    {
        m_position = -1;
        m_speed = 0;
    }
    // Keeps the position inside a list that now has count rows.
    void fit(int count);
    // The bar stands still on the row (a row that moved, say); -1 clears it.
    void jump(int index)
    {
        m_position = index < 0 ? -1 : index;
        m_speed = 0;
        m_key_held = false;
    }

    // A key for a list of count rows. start(direction) is the visible row a first Up (-1)
    // or Down (+1) starts on, -1 when there is none.
    KeyResult key(const input::KeyEvent& event, int count, const std::function<int(int)>& start);
    // One step of the motion. row_height(i) is the height of row i when it is realized,
    // else 0; selectable(i) tells whether row i can carry the bar (rows not realized
    // can). False when the bar did not move.
    bool step(double elapsed, int count, int scale_shift, const std::function<int(int)>& row_height,
        const std::function<bool(int)>& selectable);

private:
    // The first row from index on in the direction that can carry the bar, or -1.
    static int next_selectable(int index, int direction, int count, const std::function<bool(int)>& selectable);

    double m_position { -1 };
    double m_speed { 0 };
    bool m_key_held { false };
};

} // namespace skin
