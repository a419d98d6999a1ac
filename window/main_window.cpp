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
#include "pattern/pattern_sound.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_details.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern/translation.h"
#include "window/accessibility.h"
#include "window/details_view.h"
#include "window/figure.h"
#include "pattern/layout.h"
#include "window/plot_surface.h"
#include "pattern/presets.h"
#include "window/qt_translations.h"
#include "window/sound_output.h"
#include "window/window_parts.h"

namespace orvane {

//: The print job's name, as the printer queue lists it, and the name the save dialog proposes
constexpr const char *kFigureName = ORVANE_NOOP("dialog", "Orvane polar pattern");


// The window's controls, reached by name, as the behaviour uses them.
class OrvaneFrm::Controls : public FaceControls {
public:
    explicit Controls(QWidget *window) : window_(window) {}

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
        slider->setValue(value);
    }

    void setCaption(CaptionId id, const std::string &text) override
    {
        // The readouts' boxes are fixed and show only the leading characters of a
        // long value; the whole of it shows when the pointer rests on them.
        auto *label = Find<QLabel>(window_, NameOf(id));
        label->setText(QString::fromStdString(text));
        label->setToolTip(label->text());
    }

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

private:
    QWidget *window_;
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
    Dispatch(windowTitle().toStdString(), [this] { Form_Load(); });
}

OrvaneFrm::~OrvaneFrm() = default;

void OrvaneFrm::ShowDetails()
{
    if (!details_) {
        details_ = new DetailsView(this);
        // Beside the window where the screen has room, so that it covers
        // neither the sliders nor the plot; on the screen in any case. Placed
        // at the size of what it will show.
        fillDetails();
        details_->adjustSize();
        // Its frame, not yet made, as wide as the window's own.
        const QSize frame = details_->size() + frameGeometry().size() - size();
        details_->move(DetailsPosition(frameGeometry(), frame, screen()->availableGeometry()));
    }
    details_->show();
    updateDetails();
    details_->raise();
    details_->activateWindow();
}

void OrvaneFrm::updateDetails()
{
    // Closed, it does nothing at a redraw; it catches up when shown again.
    if (!details_ || details_->isHidden())
        return;
    fillDetails();
}

void OrvaneFrm::fillDetails()
{
    details_->showFigures({controls_->sliderValue(SliderId::Slider1), controls_->sliderValue(SliderId::Slider2)},
                          behaviour_->kept(), controls_->decimalSeparator());
}

PatternState OrvaneFrm::shownState()
{
    return behaviour_->shownState();
}

void OrvaneFrm::showState(const PatternState &state)
{
    // An error names the state as the user gave it.
    Dispatch(StateText(state, edition_), [this, &state] {
        if (behaviour_->ShowState(state))
            PlayProbeSound();
    });
}

Figure OrvaneFrm::shownFigure()
{
    return MakeFigure(shownState(), edition_, QString::fromStdString(controls_->decimalSeparator()),
                      behaviour_->kept());
}

void OrvaneFrm::CopyImage()
{
    const Figure figure = shownFigure();
    const int scale = std::clamp(qRound(devicePixelRatioF()), 1, kLargestScale);
    QGuiApplication::clipboard()->setImage(FigureImage(figure, scale));
}

void OrvaneFrm::SaveImage()
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
    dialog.selectFile(Text("dialog", kFigureName) + ".png");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString path = dialog.selectedFiles().constFirst();
    const QString chosen = dialog.selectedNameFilter();
    if (!FormatOfPath(path.toStdString()))
        path += chosen == svg ? ".svg" : chosen == pdf ? ".pdf" : ".png";
    const Figure figure = shownFigure();
    const QString error = SaveFigure(figure, path, std::clamp(qRound(devicePixelRatioF()), 1, kLargestScale));
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
}

void OrvaneFrm::PrintImage()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Text("dialog", kFigureName));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintFigure(printer, shownFigure());
}

void OrvaneFrm::connectHandlers()
{
    // actionTriggered comes from the user alone (drag, channel click, keys,
    // wheel), never from a value the program sets, so a preset click redraws
    // once. It comes before value() changes; sliderValue() reads the position.
    auto onUserMove = [this](const char *name, void (OrvaneFrm::*handler)()) {
        auto *slider = Find<QAbstractSlider>(this, name);
        connect(slider, &QAbstractSlider::actionTriggered, this,
                [this, name, handler] { Dispatch(ControlWords(name), [this, handler] { (this->*handler)(); }); });
    };
    onUserMove("Slider1", &OrvaneFrm::Slider1_Scroll);
    onUserMove("Slider2", &OrvaneFrm::Slider2_Scroll);
    if (HasProbe(edition_))
        onUserMove("Slider3", &OrvaneFrm::Slider3_Scroll);

    for (const Preset &preset : kPresets) {
        connect(Find<QPushButton>(this, preset.button), &QPushButton::clicked, this, [this, preset] {
            Dispatch(ControlWords(preset.button), [this, preset] {
                PresetClick(preset.slider1, preset.slider2);
            });
        });
    }
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

void OrvaneFrm::Show(const Outcome &outcome)
{
    if (!outcome.description.empty())
        describePlot(outcome.description);
    if (auto *clear = findChild<QAction *>("ClearKeptAction"))
        clear->setEnabled(behaviour_->kept().has_value());
    if (auto *keep = findChild<QAction *>("KeepAction"))
        keep->setEnabled(behaviour_->canKeep());
    showChecks();
    // The figures follow once the handler has ended, before the next paint, so
    // that an open details view costs a slider move nothing; moves that come in
    // one turn of the event loop update it once.
    if (outcome.plotChanged && details_ && !details_->isHidden() && !detailsPending_) {
        detailsPending_ = true;
        QTimer::singleShot(0, this, [this] {
            detailsPending_ = false;
            Dispatch(Tr("menu", kShowDetailsAction), [this] { updateDetails(); });
        });
    }
    if (!outcome.announcement.empty())
        announce(outcome.announcement);
    if (!outcome.error.empty())
        reporter_(QString::fromStdString(outcome.error));
}

void OrvaneFrm::announce(std::string_view text)
{
    announcer_->announce(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void OrvaneFrm::Dispatch(std::string_view source, const std::function<void()> &handler,
                         const char *errorFormat) noexcept
{
    Show(behaviour_->Dispatch(source, handler, errorFormat));
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

void OrvaneFrm::Listen()
{
    // Reads the level sliders only: no control, readout or drawing changes.
    const std::int32_t s1 = controls_->sliderValue(SliderId::Slider1);
    const std::int32_t s2 = controls_->sliderValue(SliderId::Slider2);
    PlayOn(output(), [s1, s2](std::int32_t rate) { return SweepSound(s1, s2, rate); },
           [this](const std::string &error) {
               if (!error.empty())
                   reporter_(QString::fromStdString(ActionError(EntryOf(Action::Listen), error)));
               else
                   announce(Tr("listen", kListenEnded));
           });
    behaviour_->announce(std::string(Tr("listen", kListenStarted)));
}

void OrvaneFrm::PlayProbeSound()
{
    if (!probeSound_)
        return;
    try {
        const std::int32_t angle = controls_->sliderValue(SliderId::Slider3);
        const std::int32_t s1 = controls_->sliderValue(SliderId::Slider1);
        const std::int32_t s2 = controls_->sliderValue(SliderId::Slider2);
        PlayOn(output(), [=](std::int32_t rate) { return ProbeSound(angle, s1, s2, rate); },
               [this](const std::string &error) {
                   if (error.empty())
                       return;
                   // Said once: the next step of the slider must not say it again.
                   ProbeSoundOff();
                   reporter_(QString::fromStdString(ActionError(EntryOf(Action::ProbeSound), error)));
               });
    } catch (...) {
        // Said once, not at every step of the slider: the switch goes off.
        ProbeSoundOff();
        throw;
    }
}

void OrvaneFrm::ProbeSoundOff()
{
    if (auto *probe = findChild<QAction *>("ProbeSoundAction"))
        probe->setChecked(false);
    probeSound_ = false;
}

void OrvaneFrm::Form_Load()
{
    behaviour_->Load();
}

void OrvaneFrm::PreGraph()
{
    behaviour_->PreGraph();
    describePlot(behaviour_->description());
}

void OrvaneFrm::Graph(const std::int16_t &Radius, const std::int32_t &Radius8)
{
    orvane::Graph(behaviour_->rules().surface(), Radius, Radius8, edition_);
}

void OrvaneFrm::GraphAxis()
{
    if (!HasProbe(edition_))
        throw ControlError("The lite edition has no axes");
    orvane::GraphAxis(behaviour_->rules().surface());
}

void OrvaneFrm::Slider1_Scroll()
{
    behaviour_->PreGraph();
}

void OrvaneFrm::Slider2_Scroll()
{
    behaviour_->PreGraph();
}

void OrvaneFrm::Slider3_Scroll()
{
    behaviour_->AngleScroll();
    PlayProbeSound();
}

void OrvaneFrm::PresetClick(std::int32_t slider1, std::int32_t slider2)
{
    behaviour_->Preset(slider1, slider2);
}

} // namespace orvane
