#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pattern/behaviour.h"
#include "pattern/figure.h"
#include "pattern/snapshot.h"
#include "web/recorded_surface.h"

namespace orvane {

// The running page (glue.cpp) as the exports beside it see it.

// Its behaviour, or null before orvane_start.
Behaviour *PageBehaviour();
// The plot's surface and the decimal separator; only while a page runs.
RecordedSurface &PageSurface();
std::string PageSeparator();
// What the page shows after an action, for the page to take in one piece:
// the snapshot as JSON {"error", "refused", "said", "description",
// "plotChanged", "drawn", "pixels", "width", "height", "labels", "readouts",
// "sliders", "spoken", "range", "state", "details", "sound", "pair",
// "actions"}: the plot as the canvas's pixels' address and size with the
// labels of LabelsJson, the four readouts, the three sliders' positions and
// spoken values (null and "" for one the page lacks), the datasheet view's
// range (0 in the linear view), the details' figures while they are shown
// (else null), the sound to play ({"action", "s1", "s2", "angle"}, else
// null), the stereo pair while shown (else null; glue.cpp's WritePair) and,
// last, the action table's entries by name ({"enabled", "checked"}), which
// the page takes as the last ones where their text is the same.
std::string SnapshotJson(const Snapshot &shown);

// Labels as the page writes them over a canvas of `ratio` device pixels to a
// logical one, `size` pixels high: [[x, y, text, colour, anchor, size, over],
// ...] in device pixels, with CSS's colour and text-align words; `over`
// gives, for each label of `cover`, the pixels that lines drawn after it
// changed in its box, which the page leaves as they are.
std::string LabelsJson(const std::vector<FigureDrawing::Label> &labels, double ratio, double size,
                       const LabelCover &cover, const std::uint32_t *pixels, int width);

} // namespace orvane
