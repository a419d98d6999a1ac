#include "window/main_window.h"

#include <algorithm>
#include <stdexcept>
#include <exception>

#include <QAbstractSlider>
#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QStandardPaths>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "pattern/angle_probe.h"
#include "pattern/checked.h"
#include "pattern/controls.h"
#include "pattern/error_text.h"
#include "pattern/pair_sound.h"
#include "pattern/pattern_sound.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_details.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern/translation.h"
#include "window/accessibility.h"
#include "window/details_view.h"
#include "window/pair_view.h"
#include "window/figure.h"
#include "window/font_pages.h"
#include "pattern/layout.h"
#include "window/plot_surface.h"
#include "pattern/presets.h"
#include "window/qt_translations.h"
#include "window/sound_output.h"
#include "window/window_parts.h"

namespace orvane {

//: The print job's name, as the printer queue lists it, and the name the save dialog proposes
constexpr const char *kFigureName = ORVANE_NOOP("dialog", "Orvane polar pattern");
//: The stereo pair's figure (its two microphones and the localisation curve): the print job's name, as the printer queue lists it, and the name the save dialog proposes
constexpr const char *kPairFigureName = ORVANE_NOOP("dialog", "Orvane stereo pair");

namespace {

// The pair's figure is the one with a drawing below its plot (the curve).
const char *FigureName(const Figure &figure)
{
    return figure.below ? kPairFigureName : kFigureName;
}

} // namespace


// The window's controls, reached by name, as the behaviour uses them.
class OrvaneFrm::Controls : public FaceControls {
public:
    explicit Controls(OrvaneFrm *window) : window_(window) {}

    std::int32_t sliderValue(SliderId id) override
    {
        // During a user's move the thumb's position is already the new one while
        // value() still holds the old; the handlers want the new one.
        return Find<QAbstractSlider>(window_, NameOf(id))->sliderPosition();
    }

    void setSliderValue(SliderId id, std::int32_t value) override
    {
        auto *slider = Find<QAbstractSlider>(window_, NameOf(id));
        if (value < slider->minimum() || value > slider->maximum())
            throw ControlError(std::string("Invalid property value for ") + NameOf(id));
        // A user's move has put the thumb there already.
        if (slider->sliderPosition() != value)
            slider->setValue(value);
    }

    // The readout must be there; its text comes with the snapshot (Show).
    void setCaption(CaptionId id, const std::string &) override { Find<QLabel>(window_, NameOf(id)); }

    DrawingSurface &surface() override
    {
        if (!gra_)
            gra_ = Find<PlotSurface>(window_, "gra");
        return *gra_;
    }

    std::string decimalSeparator() override
    {
        // The language's, so that numbers and words agree.
        return CurrentLanguage().decimalSeparator;
    }

    // The pair window's surfaces; the window is made, hidden, on the first
    // drawing, and shown with the snapshot.
    DrawingSurface *pairSurface(PairDrawing drawing) override
    {
        PairView &view = window_->pairView();
        return drawing == PairDrawing::Plot ? static_cast<DrawingSurface *>(view.plot()) : view.curve();
    }

private:
    OrvaneFrm *window_;
    PlotSurface *gra_ = nullptr; // the surface is looked up once: it lives as long as the window
};

OrvaneFrm::OrvaneFrm(Edition edition, QWidget *parent)
    : QWidget(parent), edition_(edition), controls_(std::make_unique<Controls>(this)),
      behaviour_(std::make_unique<Behaviour>(edition, *controls_)), announcer_(new Announcer(this)),
      UnitTwips(behaviour_->UnitTwips)
{
    static const bool accessibleInterfaces = (QAccessible::installFactory(WindowAccessible), true);
    static_cast<void>(accessibleInterfaces);
    setObjectName("OrvaneFrm");
    setWindowTitle("Orvane");
    setFont(formFont());
    // Qt's dialogs and key names speak the language of every other text.
    UseQtTranslations(CurrentLanguage());
    reporter_ = [this](const QString &message) { ShowError(message); };

    // The menu bar above the client area, which it moves down as a whole.
    buildMenuBar();
    resize(kClientWidth / kTwipsPerPixel, clientTop_ + kClientHeight / kTwipsPerPixel);
    buildControls();
    connectHandlers();
    act(UserAction::Loaded());
    // The pages of the CJK collection that measuring and the first paint map
    // go as soon as their glyphs are drawn (window/font_pages.h): 2.4 MB of
    // the peak. A Latin window maps 0.2 MB of Liberation Sans, less than what
    // reading the address map twice costs in time.
    if (*CurrentLanguage().cjkFont)
        new FontPageRelease(this);
}

OrvaneFrm::~OrvaneFrm() = default;

void OrvaneFrm::showDetails(const Snapshot &shown)
{
    if (!shown.details) {
        detailsPending_.reset();
        if (details_)
            details_->hide();
        return;
    }
    if (!details_) {
        details_ = new DetailsView(this);
        // The view closed by the user: the behaviour no longer sends its figures.
        connect(details_, &DetailsView::closed, this, [this] { act(UserAction::Chosen(Action::Details, false)); });
        // Beside the window where the screen has room, so that it covers
        // neither the sliders nor the plot; on the screen in any case. Placed
        // at the size of what it will show.
        details_->showFigures(*shown.details);
        details_->adjustSize();
        placeBeside(details_, pair_);
    }
    if (details_->isHidden()) {
        // Opened: shown at once, in front.
        details_->showFigures(*shown.details);
        details_->show();
        details_->raise();
        details_->activateWindow();
        return;
    }
    // Open already: its figures follow before the next paint, so that it
    // costs a slider move nothing.
    const bool waiting = detailsPending_.has_value();
    detailsPending_ = shown.details;
    if (!waiting)
        QTimer::singleShot(0, this, [this] {
            if (details_ && detailsPending_)
                details_->showFigures(*detailsPending_);
            detailsPending_.reset();
        });
}

void OrvaneFrm::placeBeside(QWidget *tool, const QWidget *other)
{
    // Its frame, not yet made, as wide as the window's own.
    const QSize frame = tool->size() + frameGeometry().size() - size();
    const QRect available = screen()->availableGeometry();
    QPoint at = DetailsPosition(frameGeometry(), frame, available);
    if (other && other->isVisible() && QRect(at, frame).intersects(other->frameGeometry())) {
        // The other tool window stands there: beside that one, else a step
        // down and right of it, so that neither hides the other's title.
        constexpr int kCascade = 32;
        const QPoint beside = DetailsPosition(other->frameGeometry(), frame, available);
        at = QRect(beside, frame).intersects(other->frameGeometry())
                 ? other->frameGeometry().topLeft() + QPoint(kCascade, kCascade)
                 : beside;
    }
    tool->move(at);
}

PairView &OrvaneFrm::pairView()
{
    if (!pair_) {
        pair_ = new PairView(edition_, this);
        connect(pair_, &PairView::closed, this, [this] {
            pairPending_ = false;
            act(UserAction::Chosen(Action::StereoPair, false));
        });
        connect(pair_, &PairView::pairSet, this, [this](const StereoPair &pair) { act(UserAction::PairSet(pair)); });
        connect(pair_, &PairView::blumleinPressed, this, [this] { act(UserAction::BlumleinPair()); });
        connect(pair_, &PairView::figureAsked, this, [this](Action action) { PairFigureWork(action); });
        // Laid out at its size now: the behaviour draws on its surfaces before it first shows.
        pair_->adjustSize();
    }
    return *pair_;
}

void OrvaneFrm::showPair(const Snapshot &shown)
{
    if (!shown.pair) {
        pairPending_ = false;
        pairPendingShown_.reset();
        if (pair_)
            pair_->hide();
        return;
    }
    PairView &view = pairView();
    view.followPair(shown.pair->pair);
    if (!view.isHidden()) {
        // Open already: its controls and figures follow before the next
        // paint, as the details' do, so that moves in one turn of the event
        // loop rewrite them once. Its drawings are drawn already.
        const bool waiting = pairPendingShown_.has_value();
        pairPendingShown_ = shown.pair;
        if (!waiting)
            QTimer::singleShot(0, this, [this] {
                if (pair_ && pairPendingShown_)
                    pair_->showPair(*pairPendingShown_);
                pairPendingShown_.reset();
            });
        return;
    }
    pairPendingShown_.reset();
    view.showPair(*shown.pair);
    // A state on the command line comes before the window shows: the pair
    // opens beside it once it has its place.
    if (!isVisible()) {
        pairPending_ = true;
        return;
    }
    view.adjustSize();
    placeBeside(&view, details_);
    view.show();
    view.raise();
    view.activateWindow();
}

void OrvaneFrm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!pairPending_ || !pair_)
        return;
    pairPending_ = false;
    // Once the window manager has placed this window.
    QTimer::singleShot(0, this, [this] {
        if (!pair_ || !behaviour_->pairShown() || !pair_->isHidden())
            return;
        pair_->adjustSize();
        placeBeside(pair_, details_);
        pair_->show();
    });
}

void OrvaneFrm::PairFigureWork(Action action)
{
    std::function<void()> work;
    const auto figure = [this] {
        return MakePairFigure(shownState(), edition_, QString::fromStdString(controls_->decimalSeparator()));
    };
    switch (action) {
    case Action::CopyImage: work = [this, figure] { CopyImage(figure()); }; break;
    case Action::SaveImage: work = [this, figure] { SaveImage(figure()); }; break;
    case Action::Print: work = [this, figure] { PrintImage(figure()); }; break;
    default: return;
    }
    act(UserAction::Chosen(action, true), work);
}

PatternState OrvaneFrm::shownState()
{
    return behaviour_->shownState();
}

void OrvaneFrm::showState(const PatternState &state)
{
    act(UserAction::Given(StateText(state, edition_)));
}

Figure OrvaneFrm::shownFigure()
{
    return MakeFigure(shownState(), edition_, QString::fromStdString(controls_->decimalSeparator()),
                      behaviour_->kept());
}

void OrvaneFrm::CopyImage(const Figure &figure)
{
    const int scale = std::clamp(qRound(devicePixelRatioF()), 1, kLargestScale);
    QGuiApplication::clipboard()->setImage(FigureImage(figure, scale));
}

void OrvaneFrm::SaveImage(const Figure &figure)
{
    //: The file dialog's filter. Keep (*.png) as it is.
    const QString png = Text("dialog", "PNG image (*.png)");
    //: The file dialog's filter. Keep (*.svg) as it is.
    const QString svg = Text("dialog", "SVG image (*.svg)");
    //: The file dialog's filter. Keep (*.pdf) as it is.
    const QString pdf = Text("dialog", "PDF document (*.pdf)");
    //: The file dialog's title
    QFileDialog dialog(this, Text("dialog", "Save image"));
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({png, svg, pdf});
    // A name to accept or change, in the pictures folder, as printing proposes
    // the print job's name.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    dialog.selectFile(Text("dialog", FigureName(figure)) + ".png");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString path = dialog.selectedFiles().constFirst();
    const QString chosen = dialog.selectedNameFilter();
    if (!FormatOfPath(path.toStdString()))
        path += chosen == svg ? ".svg" : chosen == pdf ? ".pdf" : ".png";
    const QString error = SaveFigure(figure, path, std::clamp(qRound(devicePixelRatioF()), 1, kLargestScale));
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
}

void OrvaneFrm::PrintImage(const Figure &figure)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Text("dialog", FigureName(figure)));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintFigure(printer, figure);
}

void OrvaneFrm::connectHandlers()
{
    // actionTriggered comes from the user alone (drag, channel click, keys,
    // wheel), never from a value the program sets, so a preset click redraws
    // once. It comes before value() changes; sliderPosition() is the new one.
    for (const SliderId id : {SliderId::Slider1, SliderId::Slider2, SliderId::Slider3}) {
        if (id == SliderId::Slider3 && !HasProbe(edition_))
            continue;
        auto *slider = Find<QAbstractSlider>(this, NameOf(id));
        connect(slider, &QAbstractSlider::actionTriggered, this,
                [this, id, slider] { act(UserAction::Moved(id, slider->sliderPosition())); });
    }
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        connect(Find<QPushButton>(this, kPresets[i].button), &QPushButton::clicked, this,
                [this, i] { act(UserAction::Pressed(static_cast<std::int32_t>(i))); });
}

void OrvaneFrm::describePlot(const std::string &text)
{
    auto *gra = Find<PlotSurface>(this, "gra");
    const QString described = QString::fromStdString(text + " ") + Text("listen", kListenHint);
    if (gra->accessibleDescription() != described) {
        gra->setAccessibleDescription(described);
        gra->setToolTip(described);
    }
}

void OrvaneFrm::act(const UserAction &action, const std::function<void()> &faceWork)
{
    Show(behaviour_->Act(action, faceWork ? FaceWork(faceWork) : FaceWork()));
}

void OrvaneFrm::Show(const Snapshot &shown)
{
    for (std::size_t i = 0; i < shown.readouts.size(); ++i) {
        // The readouts' boxes are fixed and show only the leading characters of a
        // long value; the whole of it shows when the pointer rests on them.
        auto *label = findChild<QLabel *>(kCaptionNames[i], Qt::FindDirectChildrenOnly);
        const QString text = QString::fromStdString(shown.readouts[i]);
        if (label && label->text() != text) {
            label->setText(text);
            label->setToolTip(text);
        }
    }
    if (!shown.description.empty())
        describePlot(shown.description);
    showActions(shown);
    showDetails(shown);
    showPair(shown);
    // A sound that cannot start says so instead of what was to be heard.
    if (shown.sound && !Play(*shown.sound))
        return;
    if (!shown.announcement.empty())
        announce(shown.announcement);
    if (!shown.error.empty())
        reporter_(QString::fromStdString(shown.error));
}

void OrvaneFrm::announce(std::string_view text)
{
    announcer_->announce(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void OrvaneFrm::ShowError(const QString &message)
{
    // Not modal to the event loop: the program goes on while the box is up.
    auto *box = new QMessageBox(QMessageBox::Critical, windowTitle(),
                                QString::fromStdString(Format(
                                    Tr("error", kWindowActionError),
                                    {message.toStdString()})),
                                QMessageBox::Ok, this);
    box->setObjectName("ErrorBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void OrvaneFrm::setErrorReporter(ErrorReporter reporter)
{
    reporter_ = std::move(reporter);
}

void OrvaneFrm::setSoundOutput(std::unique_ptr<SoundOutput> output)
{
    output_ = std::move(output);
}

SoundOutput &OrvaneFrm::output()
{
    if (!output_)
        output_ = MakeAudioOutput(this);
    return *output_;
}

namespace {

// Plays the sound `make` makes at the output's rate. The sound system's own
// words (a server's "Connection refused") tell a teacher nothing: a sound that
// cannot start, or stops, is said in the user's words with what to do.
template <typename Call>
auto Sounding(Call &&call)
{
    try {
        return call();
    } catch (const SoundNotInstalled &) {
        throw;
    } catch (const std::exception &) {
        throw std::runtime_error(std::string(Tr("error", kNoSoundOutput)));
    }
}

template <typename Make>
void PlayOn(SoundOutput &out, Make &&make, std::function<void(const std::string &error)> done)
{
    Sound sound = make(Sounding([&out] { return out.sampleRate(); }));
    Sounding([&] {
        out.play(std::move(sound), [done = std::move(done)](const QString &error) {
            done(error.isEmpty() ? std::string() : std::string(Tr("error", kSoundStopped)));
        });
    });
}

} // namespace

bool OrvaneFrm::Play(const SoundShown &sound)
{
    const Action action = sound.action;
    std::string failed;
    try {
        PlayOn(output(), [&sound](std::int32_t rate) {
            if (sound.action != Action::Listen)
                return ProbeSound(sound.angle, sound.s1, sound.s2, rate);
            // Around the pair where it is shown: each channel its microphone's signed signal.
            return sound.pair ? PairSweepSound(sound.s1, sound.s2, *sound.pair, rate)
                              : SweepSound(sound.s1, sound.s2, rate);
        }, [this, action](const std::string &error) {
            if (!error.empty())
                act(UserAction::Failed(action, error));
            else if (action == Action::Listen)
                act(UserAction::Ended(action)); // said: the sweep is over
        });
        return true;
    } catch (const std::exception &error) {
        failed = error.what();
    }
    act(UserAction::Failed(action, failed));
    return false;
}

} // namespace orvane
