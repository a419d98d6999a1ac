#pragma once

#include <array>
#include <optional>

#include <QWidget>

#include "pattern/actions.h"
#include "pattern/edition.h"
#include "pattern/snapshot.h"
#include "pattern/stereo_pair.h"

class QAction;
class QKeyEvent;
class QLabel;
class QPushButton;
class QRadioButton;

namespace orvane {

class PairSlider;
class PlotSurface;

// The figures' names as the pair window shows them, in the order of
// kPairFigureRows: the user's words for the command line's keys.
extern const std::array<const char *, kPairFigureRows.size()> kPairFigureLabels;

// The tool window "Stereo pair": the two microphones' plot and the
// localisation curve (surfaces "PairPlot" and "PairCurve", which the
// behaviour draws on), the pair's controls (XY or M/S, the angle, the side's
// level, Blumlein) and its figures as named rows. It shows what the
// snapshot's PairShown says and decides nothing: its controls report what the
// user did, and the main window hands that to the behaviour.
class PairView : public QWidget {
    Q_OBJECT

public:
    PairView(Edition edition, QWidget *parent);

    PlotSurface *plot() const { return plot_; }
    PlotSurface *curve() const { return curve_; }

    // Shows the pair as the snapshot has it; nothing is rewritten that shows
    // it already.
    void showPair(const PairShown &shown);
    // The pair as the last action left it, at once: the controls' next
    // action starts from it even before showPair has shown it.
    void followPair(const StereoPair &pair) { pair_ = pair; }

signals:
    // The user set the pair's controls to `pair`.
    void pairSet(const StereoPair &pair);
    void blumleinPressed();
    // Copy image, Save image or Print chosen here: the pair's figure.
    void figureAsked(Action action);
    // The user closed it (its close button, Escape).
    void closed();

protected:
    bool event(QEvent *event) override;
    // Escape closes; the figure's keys run this window's entries; the rest
    // go to the main window, whose letters then work here too.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *entryOf(const QKeyEvent *event) const;
    // The pair as shown with what the user changed.
    StereoPair shownPair() const;

    Edition edition_;
    PlotSurface *plot_;
    PlotSurface *curve_;
    QLabel *technique_;
    QRadioButton *xy_;
    QRadioButton *ms_;
    QWidget *angleRow_;
    PairSlider *angle_;
    QLabel *angleValue_;
    QWidget *sideRow_;
    PairSlider *side_;
    QLabel *sideReadout_;
    QPushButton *blumlein_;
    std::array<QLabel *, kPairFigureRows.size()> values_{};
    std::array<QLabel *, kPairFigureRows.size()> labels_{};
    std::optional<PairShown> shown_;
    StereoPair pair_;
};

} // namespace orvane
