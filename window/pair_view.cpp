#include "window/pair_view.h"

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pattern/actions.h"
#include "pattern/pair_figure_names.h"
#include "pattern/pair_plot.h"
#include "pattern/translation.h"
#include "window/accessibility.h"
#include "window/plot_surface.h"
#include "window/window_parts.h"

namespace orvane {

//: The stereo pair's window: the caption of the slider of the angle between the two microphones (XY)
constexpr const char *kAngleCaption = ORVANE_NOOP("pair", "Angle:");
//: The stereo pair's window: the caption of the side microphone's level slider (M/S)
constexpr const char *kSideCaption = ORVANE_NOOP("pair", "Side:");
//: The stereo pair's window: the side slider's accessible name
constexpr const char *kSideName = ORVANE_NOOP("pair", "Side microphone's level");
//: The stereo pair's window: the button that sets two figure-8 microphones at 90 degrees (a Blumlein pair). A name.
constexpr const char *kBlumleinText = ORVANE_NOOP("pair", "Blumlein");
//: The stereo pair's window: what the Blumlein button does, for a screen reader
constexpr const char *kBlumleinDescription =
    ORVANE_NOOP("pair", "Sets both microphones to figure-8 and XY at 90 degrees");
//: The stereo pair's panel: the name of the drawing of L - R against the source's angle
constexpr const char *kCurveName = ORVANE_NOOP("pair", "Localisation curve");
//: The stereo pair's window: the caption of the two techniques' radio buttons
constexpr const char *kTechniqueCaption = ORVANE_NOOP("pair", "Technique:");

namespace {

QLabel *Named(QLabel *label, const char *name)
{
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel *ValueLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // figures are text, never markup
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

PlotSurface *Surface(QWidget *parent, const char *name, float widthTwips, float heightTwips)
{
    auto *surface = new PlotSurface(parent);
    surface->setObjectName(QString::fromLatin1(name));
    // Fixed at the drawings' own sizes: the behaviour draws on them before
    // the window is first shown and laid out.
    surface->setFixedSize(static_cast<int>(widthTwips) / kTwipsPerPixel,
                          static_cast<int>(heightTwips) / kTwipsPerPixel);
    return surface;
}

PairSlider *Slider(QWidget *parent, const char *name, int maximum, int page)
{
    auto *slider = new PairSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(0, maximum);
    slider->setPageStep(page);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(page);
    slider->setFocusPolicy(Qt::WheelFocus);
    return slider;
}

} // namespace

const std::array<const char *, kPairFigureRows.size()> kPairFigureLabels = kPairFigureNames;

PairView::PairView(Edition edition, QWidget *parent) : QWidget(parent, Qt::Tool), edition_(edition)
{
    setObjectName("PairView");
    setWindowTitle(QString::fromUtf8(Tr("menu", EntryOf(Action::StereoPair).text)).remove(QLatin1Char('&')));
    setAccessibleName(windowTitle());

    plot_ = Surface(this, "PairPlot", kPairPlotWidthTwips, kPairPlotHeightTwips);
    curve_ = Surface(this, "PairCurve", kCurveWidthTwips, kCurveHeightTwips);
    plot_->setAccessibleName(windowTitle());
    curve_->setAccessibleName(Text("pair", kCurveName));

    // The technique, its angle or side, and Blumlein.
    auto *controls = new QWidget(this);
    auto *rows = new QGridLayout(controls);
    rows->setContentsMargins(0, 0, 0, 0);
    technique_ = Named(new QLabel(controls), "PairTechnique");
    QFont bold = technique_->font();
    bold.setBold(true);
    technique_->setFont(bold);
    auto *techniques = new QWidget(controls);
    auto *techniqueRow = new QHBoxLayout(techniques);
    techniqueRow->setContentsMargins(0, 0, 0, 0);
    xy_ = new QRadioButton(QStringLiteral("XY"), techniques);
    xy_->setObjectName("PairXy");
    ms_ = new QRadioButton(QStringLiteral("M/S"), techniques);
    ms_->setObjectName("PairMs");
    auto *group = new QButtonGroup(this);
    group->addButton(xy_);
    group->addButton(ms_);
    blumlein_ = new QPushButton(Text("pair", kBlumleinText), techniques);
    blumlein_->setObjectName("BlumleinButton");
    blumlein_->setAutoDefault(false);
    blumlein_->setAccessibleDescription(Text("pair", kBlumleinDescription));
    techniqueRow->addWidget(xy_);
    techniqueRow->addWidget(ms_);
    techniqueRow->addStretch(1);
    techniqueRow->addWidget(blumlein_);
    auto *techniqueCaption = Named(new QLabel(Text("pair", kTechniqueCaption), controls), "PairTechniqueCaption");
    rows->addWidget(techniqueCaption, 0, 0);
    rows->addWidget(techniques, 0, 1, 1, 2);
    rows->setColumnStretch(1, 1); // the radio buttons next to their caption

    // The angle (XY) and the side (M/S) share a row: one shows at a time.
    angleRow_ = new QWidget(controls);
    auto *angleLine = new QHBoxLayout(angleRow_);
    angleLine->setContentsMargins(0, 0, 0, 0);
    auto *angleCaption = Named(new QLabel(Text("pair", kAngleCaption), angleRow_), "PairAngleCaption");
    angle_ = Slider(angleRow_, "PairAngle", kPairAngleMaximum, 15);
    angle_->setAccessibleName(QString::fromUtf8(Tr("pair figure", kPairFigureNames[0])));
    angleValue_ = Named(new QLabel(angleRow_), "PairAngleValue");
    angleValue_->setMinimumWidth(angleValue_->fontMetrics().horizontalAdvance(QStringLiteral("180\u00B0 ")));
    angleCaption->setBuddy(angle_);
    angleLine->addWidget(angleCaption);
    angleLine->addWidget(angle_, 1);
    angleLine->addWidget(angleValue_);
    sideRow_ = new QWidget(controls);
    auto *sideLine = new QHBoxLayout(sideRow_);
    sideLine->setContentsMargins(0, 0, 0, 0);
    auto *sideCaption = Named(new QLabel(Text("pair", kSideCaption), sideRow_), "SideCaption");
    side_ = Slider(sideRow_, "SideSlider", kSideMaximum, 10);
    side_->setAccessibleName(Text("pair", kSideName));
    sideReadout_ = Named(new QLabel(sideRow_), "SideReadout");
    sideReadout_->setMinimumWidth(sideReadout_->fontMetrics().horizontalAdvance(QStringLiteral("-00.0000000000000 dB ")));
    sideCaption->setBuddy(side_);
    sideLine->addWidget(sideCaption);
    sideLine->addWidget(side_, 1);
    sideLine->addWidget(sideReadout_);
    rows->addWidget(angleRow_, 1, 0, 1, 3);
    rows->addWidget(sideRow_, 2, 0, 1, 3);
    sideRow_->hide(); // the pair starts as XY; showPair shows one row of the two

    // The figures, row by row: a screen reader meets each one named.
    auto *figures = new QWidget(this);
    auto *grid = new QGridLayout(figures);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    int r = 0;
    for (std::size_t i = 0; i < kPairFigureRows.size(); ++i) {
        // The lite edition has no probe, so no source to measure at.
        if (kPairFigureRows[i].atSource && !HasProbe(edition_))
            continue;
        const QString key = QString::fromLatin1(kPairFigureRows[i].key);
        labels_[i] = new QLabel(QString::fromUtf8(Tr("pair figure", kPairFigureNames[i])), figures);
        labels_[i]->setObjectName(QStringLiteral("PairLabel_") + key);
        values_[i] = ValueLabel(figures, QStringLiteral("PairValue_") + key);
        grid->addWidget(labels_[i], r, 0);
        grid->addWidget(values_[i], r, 1);
        ++r;
    }
    grid->setColumnStretch(2, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(curve_);
    right->addWidget(technique_);
    right->addWidget(controls);
    right->addWidget(figures);
    right->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(plot_, 0, Qt::AlignTop);
    layout->addLayout(right);

    setTabOrder(plot_, curve_);
    setTabOrder(curve_, xy_);
    setTabOrder(xy_, ms_);
    setTabOrder(ms_, blumlein_);
    setTabOrder(blumlein_, angle_);
    setTabOrder(angle_, side_);

    // What the user does goes out as the pair it asks for; the snapshot that
    // comes back sets the controls.
    connect(xy_, &QRadioButton::clicked, this, [this] {
        StereoPair pair = shownPair();
        pair.technique = PairTechnique::XY;
        emit pairSet(pair);
    });
    connect(ms_, &QRadioButton::clicked, this, [this] {
        StereoPair pair = shownPair();
        pair.technique = PairTechnique::MS;
        emit pairSet(pair);
    });
    // actionTriggered comes from the user alone, with the thumb's new position.
    connect(angle_, &QAbstractSlider::actionTriggered, this, [this] {
        StereoPair pair = shownPair();
        pair.angle = angle_->sliderPosition();
        emit pairSet(pair);
    });
    connect(side_, &QAbstractSlider::actionTriggered, this, [this] {
        StereoPair pair = shownPair();
        pair.side = side_->sliderPosition();
        emit pairSet(pair);
    });
    connect(blumlein_, &QPushButton::clicked, this, &PairView::blumleinPressed);

    // The figure's entries of the action table, for the pair's figure: in
    // the drawings' context menu, their keys anywhere in this window.
    for (const auto &[action, key] : {std::pair{Action::CopyImage, QKeySequence::Copy},
                                      std::pair{Action::SaveImage, QKeySequence::Save},
                                      std::pair{Action::Print, QKeySequence::Print}}) {
        const ActionEntry &item = EntryOf(action);
        auto *entry = new QAction(QString::fromStdString(ActionText(item)), this);
        entry->setObjectName(QStringLiteral("Pair") + QString::fromLatin1(item.name));
        entry->setShortcut(QKeySequence(key));
        entry->setShortcutContext(Qt::WindowShortcut);
        addAction(entry);
        plot_->addAction(entry);
        curve_->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, action = action] { emit figureAsked(action); });
    }
    plot_->setContextMenuPolicy(Qt::ActionsContextMenu);
    curve_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

StereoPair PairView::shownPair() const
{
    return pair_;
}

void PairView::showPair(const PairShown &shown)
{
    if (shown_ && shown_->pair.technique == shown.pair.technique && shown_->pair.angle == shown.pair.angle &&
        shown_->pair.side == shown.pair.side && shown_->source == shown.source &&
        shown_->technique == shown.technique && shown_->sideReadout == shown.sideReadout &&
        shown_->spokenAngle == shown.spokenAngle && shown_->spokenSide == shown.spokenSide &&
        shown_->figures == shown.figures && shown_->description == shown.description)
        return;
    shown_ = shown;
    pair_ = shown.pair;
    const bool xy = shown.pair.technique == PairTechnique::XY;
    technique_->setText(QString::fromStdString(shown.technique));
    xy_->setChecked(xy);
    ms_->setChecked(!xy);
    if (angleRow_->isVisibleTo(this) != xy) {
        angleRow_->setVisible(xy);
        sideRow_->setVisible(!xy);
        // The window takes its new size at once, not at the next turn of
        // the event loop: it is placed by it when it opens.
        layout()->activate();
    }
    if (angle_->sliderPosition() != shown.pair.angle)
        angle_->setValue(shown.pair.angle);
    angle_->setSpoken(QString::fromStdString(shown.spokenAngle));
    angleValue_->setText(QString::number(shown.pair.angle) + QChar(0x00B0));
    if (side_->sliderPosition() != shown.pair.side)
        side_->setValue(shown.pair.side);
    side_->setSpoken(QString::fromStdString(shown.spokenSide));
    sideReadout_->setText(QString::fromStdString(shown.sideReadout) + QStringLiteral(" dB"));
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (!values_[i])
            continue;
        const QString value = QString::fromStdString(shown.figures[i]);
        values_[i]->setText(value);
        //: A figure's accessible name. %1: its name; %2: its value
        // A figure at the source without one is named alone.
        values_[i]->setAccessibleName(value.isEmpty() ? labels_[i]->text()
                                                      : QString::fromUtf8(Tr("accessible name", "%1: %2")).arg(labels_[i]->text(), value));
    }
    const QString description = QString::fromStdString(shown.description);
    setAccessibleDescription(description);
    plot_->setAccessibleDescription(description);
    plot_->setToolTip(description);
}

void PairView::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

// The entry of this window whose key `event` is, if any.
QAction *PairView::entryOf(const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    for (QAction *entry : actions())
        if (entry->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return entry;
    return nullptr;
}

bool PairView::event(QEvent *event)
{
    // The main window's entries with the same keys match here too, and Qt
    // then runs neither: this window's own keys come as key presses instead.
    if (event->type() == QEvent::ShortcutOverride && entryOf(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void PairView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    if (QAction *entry = entryOf(event)) {
        if (!event->isAutoRepeat())
            entry->trigger();
        return;
    }
    // A key no control here has a use for goes to the main window, which
    // takes the plot's letters and ignores the rest: the letters work while
    // this window has the focus too.
    if (QWidget *main = parentWidget()) {
        QCoreApplication::sendEvent(main, event);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace orvane
