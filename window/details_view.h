#pragma once

#include <array>
#include <optional>
#include <string>

#include <QWidget>

#include "pattern/controls.h"
#include "pattern/pattern_details.h"
#include "pattern/snapshot.h"

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

    // Shows the figures of the current pattern and of the kept one. Nothing
    // is rewritten when these are what it shows already.
    void showFigures(const DetailsShown &figures);

signals:
    // The user closed it (its close button, Escape).
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Grown by a kept column or a longer figure, it stays on its screen.
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

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
    std::optional<DetailsShown> shown_;
};

} // namespace orvane
