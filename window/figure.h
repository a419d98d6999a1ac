#pragma once

#include <QImage>
#include <QString>

#include "pattern/edition.h"
#include "pattern/figure.h"
#include "pattern/layout.h"
#include "pattern/state_text.h"

class QPainter;
class QPrinter;

namespace orvane {

// One state's figure: the plot's lines and its caption, on the plot surface
// of the layout table.
struct Figure {
    FigureDrawing drawing{SurfaceGeometryOf()};
    // A second drawing under the first: the stereo pair's curve under its plot.
    std::optional<FigureDrawing> below;
    std::string caption;
};

// Draws `state` through the window's handlers, with the readouts in the
// number format of `decimalSeparator`.
Figure MakeFigure(const PatternState &state, Edition edition, const QString &decimalSeparator,
                  std::optional<KeptPattern> kept = std::nullopt);

// The stereo pair of `state` (which has one) as the pair window draws it: its
// plot, the localisation curve under it, and its caption.
Figure MakePairFigure(const PatternState &state, Edition edition, const QString &decimalSeparator);

// The figure in pixels at a whole `scale`: the plot as the window shows it at
// that device pixel ratio, the caption under it.
QImage FigureImage(const Figure &figure, int scale);

// Paints the figure as vectors into `target` (in the painter's coordinates),
// keeping its proportions and centring it there.
void PaintFigure(QPainter &painter, const Figure &figure, const QRectF &target);

// Prints the figure centred on the printer's page, as vectors.
void PrintFigure(QPrinter &printer, const Figure &figure);

// Writes the figure to `path` in the format its suffix names. The file is
// written beside its final name and renamed into place once complete. Returns
// an empty text, or why it could not.
QString SaveFigure(const Figure &figure, const QString &path, int scale);

} // namespace orvane
