#pragma once

#include <algorithm>
#include <cmath>

#include "pattern/drawing_surface.h"

namespace orvane {

// Draws a path as dashes of `dash` twips with gaps of `gap` twips between
// them, measured along the path, each dash as separate lines. The pattern runs
// on from one piece of the path to the next.
class Dasher {
public:
    Dasher(DrawingSurface &surface, Colour colour, double dash, double gap)
        : surface_(surface), colour_(colour), dash_(dash), gap_(gap), left_(dash)
    {
    }

    void start(float x, float y)
    {
        x_ = x;
        y_ = y;
    }

    void to(float x, float y)
    {
        const double dx = static_cast<double>(x) - x_;
        const double dy = static_cast<double>(y) - y_;
        const double length = std::hypot(dx, dy);
        double done = 0.0;
        while (length - done > 0.0) {
            const double step = std::min(length - done, left_);
            if (on_) {
                const double t0 = done / length;
                const double t1 = (done + step) / length;
                surface_.line(static_cast<float>(x_ + dx * t0), static_cast<float>(y_ + dy * t0),
                              static_cast<float>(x_ + dx * t1), static_cast<float>(y_ + dy * t1), colour_);
            }
            done += step;
            left_ -= step;
            if (left_ <= 0.0) {
                on_ = !on_;
                left_ = on_ ? dash_ : gap_;
            }
        }
        start(x, y);
    }

private:
    DrawingSurface &surface_;
    Colour colour_;
    double dash_;
    double gap_;
    double x_ = 0.0;
    double y_ = 0.0;
    bool on_ = true;
    double left_;
};

} // namespace orvane
