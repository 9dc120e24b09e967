// A node's measure along one axis: the size it would like and the least it accepts.
#pragma once

namespace skin {

struct Measure {
    int wanted { 0 };
    int minimum { 0 };
    friend bool operator==(const Measure&, const Measure&) = default;
};

} // namespace skin
