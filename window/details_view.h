#pragma once

#include <array>
#include <optional>
#include <string>

#include <QWidget>

#include "pattern/controls.h"
#include "pattern/pattern_details.h"

class QLabel;

namespace orvane {

// Where the details window opens, its frame `size`, for the main window's
// frame `window`, within the screen's `available` area: beside the window, on
// the right where that has room, else on the left; over the window where
// neither has; level with its top where the screen allows.
QPoint DetailsPosition(const QRect &window, const QSize &size, const QRect &available);

// The tool window "Pattern details": the figures of the current pattern and,
// while one is kept, of the kept pattern beside them, as selectable text. A
// screen reader meets them row by row, each figure named: "Omni share: 0.500",
// then "Omni share, kept: 0.412". Escape closes it.
class DetailsView : public QWidget {
    Q_OBJECT

public:
    explicit DetailsView(QWidget *parent);

    // Shows the figures for the level sliders at s1 and s2 and the kept
    // pattern. Nothing is rewritten when these are what it shows already.
    void showFigures(KeptPattern current, std::optional<KeptPattern> kept, const std::string &decimalSeparator);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Grown by a kept column or a longer figure, it stays on its screen.
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void keepOnScreen();
    struct Row {
        QLabel *label;
        QLabel *current;
        QLabel *kept;
    };
    QLabel *message_;
    QLabel *equation_;
    QLabel *keptHeading_;
    QWidget *table_;
    std::array<Row, kDetailRows.size()> rows_{};
    // What is shown, so that a redraw that changes no figure costs nothing.
    struct Shown {
        KeptPattern current;
        std::optional<KeptPattern> kept;
        std::string separator;
        bool operator==(const Shown &) const = default;
    };
    std::optional<Shown> shown_;
};

} // namespace orvane
