#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "window/accessibility.h"
#include "window/pair_view.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

class PairWindow : public WindowTest, public ::testing::WithParamInterface<Edition> {
protected:
    void SetUp() override { open(GetParam()); }

    QWidget *view() { return window->findChild<QWidget *>("PairView"); }
    bool shown() { return view() && view()->isVisible(); }
    // A figure's value as shown; "(none)" where the window has no such row.
    QString figure(const char *key)
    {
        auto *label = window->findChild<QLabel *>(QString("PairValue_") + key);
        return label ? label->text() : QString("(none)");
    }
    void click(const char *button) { QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton); }

    // One user's step, in the words of the table below.
    void perform(const QString &step)
    {
        const QStringList words = step.split(' ');
        const QString verb = words.value(0);
        const int times = words.value(1).toInt();
        if (verb == "menu") // the View menu's entry
            find<QAction>("StereoPairAction")->trigger();
        else if (verb == "plotmenu") // the plot's context menu's own entry
            find<QMenu>("PlotMenu")->findChild<QAction *>("StereoPairAction")->trigger();
        else if (verb == "P")
            press("gra", Qt::Key_P);
        else if (verb == "angle") // PageUp: 15 degrees more
            press("PairAngle", Qt::Key_PageUp, times);
        else if (verb == "side")
            press("SideSlider", Qt::Key_Right, times);
        else if (verb == "probe")
            press("Slider3", Qt::Key_Right, times);
        else if (verb == "close")
            view()->close();
        else if (verb == "state")
            window->act(UserAction::Given(words.value(1).toStdString()));
        else // a button: PairXy, PairMs, BlumleinButton, a preset
            click(verb.toLatin1().constData());
    }
};

INSTANTIATE_TEST_SUITE_P(Editions, PairWindow, ::testing::Values(Edition::Full, Edition::Lite),
                         [](const auto &param) { return param.param == Edition::Full ? "Orvane" : "OrvaneLite"; });

// The pair window through the user's steps: opened by its entries and key,
// its controls changing the figures, Blumlein the main sliders, the probe
// the source, closing unchecking the entry. Each row is what the window shows
// after its steps: "shown checked | technique | angle or side readout |
// pair angle, recording angle (15 dB), correlation | L - R, image | sliders".
// The figures are the closed forms: XY cardioids at A have a correlation of
// (1 + cos A / 3) / (4 / 3); at a source at 90 degrees L / R is
// (1 + cos 45) / (1 - cos 45), 15.3 dB, and the image atan(tan 30 x cos 45).
TEST_P(PairWindow, TheWindowFollowsItsControlsAndTheMainWindow)
{
    const bool full = GetParam() == Edition::Full;
    const struct {
        const char *steps;
        const char *shows;
    } rows[] = {
        {"Cardiod, menu", "1 1 | XY | 90\u00B0 | 90 degrees, 177.9 degrees, 0.750 | _, _ | 0 0"},
        {"P", "0 0 | XY | 90\u00B0 | 90 degrees, 177.9 degrees, 0.750 | _, _ | 0 0"},
        {"P, angle 2", "1 1 | XY | 120\u00B0 | 120 degrees, 140.7 degrees, 0.625 | _, _ | 0 0"},
        {"PairMs, side 20", "1 1 | M/S | -1.9167270980655 dB | 77.3 degrees, 164.4 degrees, 0.724 | _, _ | 0 0"},
        {"BlumleinButton", "1 1 | Blumlein | 90\u00B0 | 90 degrees, 69.8 degrees, 0 | _, _ | 100 0"},
        {"Cardiod, PairXy, probe 90", "1 1 | XY | 90\u00B0 | 90 degrees, 177.9 degrees, 0.750 | 15.3 dB, 22.2 degrees | 0 0"},
        {"close", "0 0 | XY | 90\u00B0 | 90 degrees, 177.9 degrees, 0.750 | 15.3 dB, 22.2 degrees | 0 0"},
        {"plotmenu", "1 1 | XY | 90\u00B0 | 90 degrees, 177.9 degrees, 0.750 | 15.3 dB, 22.2 degrees | 0 0"},
        {"state omni=30&fig8=0", "0 0 | XY | 90\u00B0 | 90 degrees, 177.9 degrees, 0.750 | 15.3 dB, 22.2 degrees | 30 0"},
        {"state omni=0&fig8=0&pair=xy&pairangle=60", "1 1 | XY | 60\u00B0 | 60 degrees, 226.5 degrees, 0.875 | _, _ | 0 0"},
    };
    for (const auto &row : rows) {
        for (const QString &step : QString(row.steps).split(", "))
            if (full || !step.startsWith("probe"))
                perform(step);
        QCoreApplication::processEvents();
        const bool xy = find<QRadioButton>("PairXy")->isChecked();
        const QString atSource = full ? figure("level_difference_db") + ", " + figure("image_deg") : "_, _";
        const QString got =
            QString("%1 %2 | %3 | %4 | %5, %6, %7 | %8 | %9 %10")
                .arg(int(shown()))
                .arg(int(find<QAction>("StereoPairAction")->isChecked()))
                .arg(text("PairTechnique"), xy ? text("PairAngleValue") : text("SideReadout"),
                     figure("pair_angle_deg"), figure("recording_angle_15db_deg"), figure("correlation"),
                     atSource.isEmpty() || atSource == ", " ? "_, _" : atSource)
                .arg(value("Slider1"))
                .arg(value("Slider2"));
        QString want = row.shows;
        if (!full) // no probe, no source
            want.replace("15.3 dB, 22.2 degrees", "_, _");
        EXPECT_EQ(got, want) << row.steps;
        // The angle's row for XY, the side's for M/S.
        if (shown()) {
            EXPECT_EQ(find("PairAngle")->isVisible(), xy) << row.steps;
            EXPECT_EQ(find("SideSlider")->isVisible(), !xy) << row.steps;
        }
    }
    // The lite edition has no source, so no rows at it.
    EXPECT_EQ(window->findChild<QLabel *>("PairLabel_image_deg") != nullptr, full);
    EXPECT_EQ(window->findChild<QLabel *>("PairLabel_opposite_polarity") != nullptr, full);
}

// The pair's drawings change with its controls, and the window stays clear of
// the details window; its controls are named for assistive technology, and
// its sliders speak the snapshot's words.
TEST_P(PairWindow, DrawingsFollowAndControlsAreNamed)
{
    click("Cardiod");
    press("gra", Qt::Key_P);
    ASSERT_TRUE(shown());
    auto *plot = find<PlotSurface>("PairPlot");
    auto *curve = find<PlotSurface>("PairCurve");
    QCoreApplication::processEvents();
    const QImage plotBefore = plot->image().copy();
    const QImage curveBefore = curve->image().copy();
    press("PairAngle", Qt::Key_PageUp, 2);
    EXPECT_NE(plot->image(), plotBefore);
    EXPECT_NE(curve->image(), curveBefore);
    EXPECT_EQ(OnScreen(plot, plot->contentsRect()), plot->image());

    press("gra", Qt::Key_D);
    ASSERT_TRUE(window->findChild<QWidget *>("DetailsView")->isVisible());
    EXPECT_NE(window->findChild<QWidget *>("DetailsView")->frameGeometry().topLeft(), view()->frameGeometry().topLeft());

    for (const char *name : {"PairXy", "PairMs", "BlumleinButton", "PairAngle", "SideSlider", "PairPlot", "PairCurve"})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(find(name))->text(QAccessible::Name).isEmpty()) << name;
    // Both tool windows read as windows, not as fillers.
    for (const char *name : {"PairView", "DetailsView"})
        EXPECT_EQ(QAccessible::queryAccessibleInterface(find(name))->role(), QAccessible::Window) << name;
    EXPECT_EQ(find("PairAngle")->accessibleName(), "Angle between the microphones");
    EXPECT_EQ(find("SideSlider")->accessibleName(), "Side microphone's level");
    QAccessibleInterface *angle = QAccessible::queryAccessibleInterface(find("PairAngle"));
    ASSERT_NE(angle, nullptr);
    EXPECT_EQ(angle->text(QAccessible::Value), "120 degrees");
    EXPECT_EQ(find<QLabel>("PairValue_correlation")->accessibleName(), "Correlation: 0.625");
    EXPECT_TRUE(view()->accessibleDescription().startsWith("Stereo pair: XY, 120 degrees between the microphones."))
        << view()->accessibleDescription().toStdString();
    // The side's readout is the level readout's rule, as the omni slider's at the same position.
    click("PairMs");
    press("SideSlider", Qt::Key_Right, 20);
    press("Slider1", Qt::Key_Down, 20);
    QCoreApplication::processEvents(); // the open window follows once the handler has ended
    EXPECT_EQ(text("SideReadout"), text("dbomni") + " dB");
    QAccessibleInterface *side = QAccessible::queryAccessibleInterface(find("SideSlider"));
    EXPECT_EQ(side->text(QAccessible::Value), QAccessible::queryAccessibleInterface(find("Slider1"))->text(QAccessible::Value) + " dB");
}

} // namespace
} // namespace orvane::testing

