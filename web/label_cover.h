#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/drawing_surface.h"
#include "web/json_text.h"

namespace orvane {

// The desktop writes a label into the plot's image where the drawing writes
// it, so the lines drawn after it (the curves, over the datasheet view's grid
// labels) cross it. The page writes its labels with the browser's text engine
// over the finished pixels; to show the same picture it writes each label
// but on the pixels of its box that lines drawn after the label changed.
// LabelCover keeps each box's pixels as they were when its label was drawn,
// and finds those that have changed since.
class LabelCover {
public:
    // A new drawing: no label yet.
    void clear()
    {
        boxes_.clear();
        kept_.clear();
    }

    // Keeps the box of a label `size` pixels high at (x, y) (pixels of the
    // buffer, `width` by `height`), anchored there by `anchor` and centred
    // on y, with the buffer's pixels in it now. The box holds the text in any
    // face the page may use: an em high above and below, and across an em
    // for each character outside ASCII (CJK), three quarters of one for each
    // other, and half an em more either side.
    void keep(const std::uint32_t *pixels, int width, int height, double x, double y, double size,
              std::string_view text, TextAnchor anchor)
    {
        double across = 1.0;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            across += byte < 0x80 ? 0.75 : byte >= 0xC0 ? 1.0 : 0.0; // a character's first byte
        }
        across *= size;
        const double left = x - (anchor == TextAnchor::Start ? size / 2 : anchor == TextAnchor::Middle ? across / 2 : across - size / 2);
        const auto within = [](double v, int end) { return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(end))); };
        const Box box{within(std::floor(left), width), within(std::floor(y - size), height),
                      within(std::ceil(left + across), width), within(std::ceil(y + size), height), kept_.size()};
        boxes_.push_back(box);
        const auto rowPixels = static_cast<std::size_t>(box.right - box.left);
        std::size_t at = kept_.size();
        kept_.resize(at + rowPixels * static_cast<std::size_t>(box.bottom - box.top));
        for (int row = box.top; row < box.bottom; ++row, at += rowPixels)
            std::memcpy(kept_.data() + at, pixels + static_cast<std::ptrdiff_t>(row) * width + box.left,
                        rowPixels * sizeof(std::uint32_t));
    }

    // The pixels of the box of label `index` (in the order they were kept)
    // that differ now, in runs along the rows: JSON [[x, y, length], ...].
    std::string ChangedJson(std::size_t index, const std::uint32_t *pixels, int width) const
    {
        JsonWriter json;
        json.begin('[');
        if (index < boxes_.size()) {
            const Box &box = boxes_[index];
            const std::uint32_t *kept = kept_.data() + box.kept;
            for (int row = box.top; row < box.bottom; ++row, kept += box.right - box.left) {
                const std::uint32_t *now = pixels + static_cast<std::ptrdiff_t>(row) * width;
                for (int x = box.left; x < box.right; ++x) {
                    const int start = x;
                    while (x < box.right && now[x] != kept[x - box.left])
                        ++x;
                    if (x > start)
                        json.begin('[').number(start).number(row).number(x - start).end(']');
                }
            }
        }
        return json.end(']').text();
    }

private:
    struct Box {
        int left, top, right, bottom;
        std::size_t kept; // where its pixels start in kept_
    };

    std::vector<Box> boxes_;
    std::vector<std::uint32_t> kept_; // each box's pixels, row by row, when its label was drawn
};

} // namespace orvane
