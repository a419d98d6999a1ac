#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pattern/behaviour.h"
#include "pattern/figure.h"
#include "web/recorded_surface.h"

namespace orvane {

// The running page (glue.cpp) as the exports beside it see it.

// Its behaviour, or null before orvane_start.
Behaviour *PageBehaviour();
// The plot's surface and the decimal separator; only while a page runs.
RecordedSurface &PageSurface();
std::string PageSeparator();
// Shows what a handler yielded in the page, but for its announcement, which
// the caller hands to the page; returns whether the handler ran to its end.
bool ShowUnannounced(const Outcome &outcome);
void ShowPageError(const std::string &text);

// What the page shows once one of its actions has run, for the page to take
// in one piece: JSON {"done", "said", "refused", "drawn", "canKeep", "pixels",
// "width", "height", "labels", "state", "range", "spoken", "details"}. "done"
// says whether the action ran to its end, "said" what a listener hears of it
// (for the page to say once it shows the rest), "refused" why a state given
// was none; then whether the plot was drawn and Keep has a pattern to keep,
// the plot (the canvas's pixels' address and size, the labels of
// LabelsJson), the state text, the datasheet view's range (0 in the linear
// view), the three sliders' values as spoken ("" for one the page lacks) and,
// while the details panel is open, its figures (else, or where they cannot be
// read, null).
std::string ShownJson(bool done, const std::string &said = "", const std::string &refused = "");

// Labels as the page writes them over a canvas of `ratio` device pixels to a
// logical one, `size` pixels high: [[x, y, text, colour, anchor, size, over],
// ...] in device pixels, with CSS's colour and text-align words; `over(i)`
// gives the pixels that lines drawn after label i changed in its box, which
// the page leaves as they are (LabelCover::ChangedJson).
std::string LabelsJson(const std::vector<FigureDrawing::Label> &labels, double ratio, double size,
                       const std::function<std::string(std::size_t)> &over);

} // namespace orvane
