#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScreen>

#include "window/accessibility.h"
#include "window/details_view.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

constexpr QRgb kKeptPixel = 0xFF9600AA; // kKeptViolet on the plot's image

class Details : public WindowTest, public ::testing::WithParamInterface<Edition> {
protected:
    void SetUp() override { open(GetParam()); }

    QWidget *view() { return window->findChild<QWidget *>("DetailsView"); }
    QString figure(const char *column, const char *key)
    {
        QCoreApplication::processEvents();
        auto *label = window->findChild<QLabel *>(QString(column) + "_" + key);
        return label && label->isVisibleTo(view()) ? label->text() : QString("(hidden)");
    }
    QString announced()
    {
        for (QObject *child : window->children())
            if (auto *announcer = dynamic_cast<Announcer *>(child))
                return announcer->text();
        return {};
    }
    void click(const char *button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    const QImage &plot() { return find<PlotSurface>("gra")->image(); }
    std::vector<QPoint> pixels(QRgb colour)
    {
        std::vector<QPoint> out;
        for (int y = 0; y < plot().height(); ++y)
            for (int x = 0; x < plot().width(); ++x)
                if (plot().pixel(x, y) == colour)
                    out.push_back({x, y});
        return out;
    }
};

INSTANTIATE_TEST_SUITE_P(Editions, Details, ::testing::Values(Edition::Full, Edition::Lite),
                         [](const auto &param) { return param.param == Edition::Full ? "Orvane" : "OrvaneLite"; });

// D on the plot opens the tool window beside the window, which keeps its size;
// it says "no pattern" at the start, follows every slider move and preset, and
// Escape closes it.
TEST_P(Details, KeyDOpensTheViewWhichFollowsTheSlidersAndEscapeCloses)
{
    const QSize size = window->size();
    press("gra", Qt::Key_D);
    ASSERT_NE(view(), nullptr);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_TRUE(view()->isWindow());
    EXPECT_EQ(view()->windowTitle(), "Pattern details");
    EXPECT_EQ(window->size(), size);
    EXPECT_TRUE(find<QLabel>("DetailsMessage")->isVisible());
    EXPECT_FALSE(find<QLabel>("DetailsEquation")->isVisible());
    EXPECT_EQ(figure("Current", "omni_share"), "(hidden)");

    click("Command3"); // "Super Card"
    QCoreApplication::processEvents(); // the view follows once a handler has ended
    EXPECT_FALSE(find<QLabel>("DetailsMessage")->isVisible());
    EXPECT_TRUE(find<QLabel>("DetailsEquation")->isVisible());
    EXPECT_EQ(find<QLabel>("DetailsEquation")->text(), "Super Card: p(\u03B8) = 0.412 + 0.588 cos \u03B8");
    EXPECT_EQ(figure("Current", "null_deg"), "plus and minus 134.4 degrees");
    EXPECT_EQ(figure("Current", "rear_db"), "-15.1 dB");
    EXPECT_EQ(figure("Kept", "rear_db"), "(hidden)");
    auto *directivity = find<QLabel>("Current_directivity_index_db");
    EXPECT_EQ(directivity->text(), "5.45 dB");
    EXPECT_EQ(directivity->accessibleName(), "Directivity index: 5.45 dB");
    EXPECT_TRUE(directivity->textInteractionFlags() & Qt::TextSelectableByKeyboard);

    press("Slider1", Qt::Key_Up, 30); // back to full omni: the cardioid
    EXPECT_EQ(figure("Current", "front_to_back_db"), "\u221E dB");
    EXPECT_EQ(figure("Current", "directivity_factor"), "3.00");

    QTest::keyClick(directivity, Qt::Key_Escape); // from a figure that has the focus

    EXPECT_FALSE(view()->isVisible());
    click("Command1"); // closed, it follows once opened again
    find("gra")->setFocus();
    press("gra", Qt::Key_D);
    EXPECT_EQ(figure("Current", "null_deg"), "none");
}

// K keeps the pattern: it is drawn dashed in violet where the plot drew it,
// under presets and slider moves, the view shows its figures beside the
// current ones, the plot's description and the announcements say so; "Clear
// comparison" takes it away and leaves the plot as it was without it.
TEST_P(Details, KeepComparesUntilClearedAndLeavesThePlotAsWithout)
{
    click("Cardiod");
    std::vector<QPoint> cardioid = pixels(qRgb(0, 0, 0));
    find("gra")->setFocus();
    press("gra", Qt::Key_K);
    EXPECT_EQ(announced(), "Kept for comparison: omni 0 dB, figure-8 0 dB");
    click("Command2"); // "Fig. 8"
    const QImage figure8Alone = [&] {
        OrvaneFrm other(GetParam());
        other.show();
        QTest::mouseClick(other.findChild<QPushButton *>("Command2"), Qt::LeftButton);
        return other.findChild<PlotSurface *>("gra")->image();
    }();

    // Every violet pixel lies on (or next to) a pixel of the cardioid as drawn alone.
    const std::vector<QPoint> red = pixels(kKeptPixel);
    EXPECT_GT(red.size(), 100u);
    for (const QPoint &p : red)
        EXPECT_TRUE(std::any_of(cardioid.begin(), cardioid.end(),
                                [&](const QPoint &c) { return (c - p).manhattanLength() <= 2; }))
            << p.x() << "," << p.y();
    EXPECT_NE(plot(), figure8Alone);
    const QString description = find("gra")->accessibleDescription();
    EXPECT_TRUE(description.startsWith("Pattern: Figure-8. Figure-8 pattern")) << description.toStdString();
    EXPECT_TRUE(description.contains("Compared with the kept pattern, drawn as a dashed violet curve: omni 0 dB, "
                                     "figure-8 0 dB."));

    find("gra")->setFocus();
    press("gra", Qt::Key_D);
    EXPECT_EQ(figure("Current", "omni_share"), "0");
    EXPECT_EQ(figure("Kept", "omni_share"), "0.500");
    EXPECT_EQ(find<QLabel>("Kept_omni_share")->accessibleName(), "Omni share, kept: 0.500");

    auto *clear = window->findChild<QAction *>("ClearKeptAction");
    ASSERT_NE(clear, nullptr);
    EXPECT_TRUE(clear->isEnabled());
    clear->trigger();
    EXPECT_EQ(announced(), "Comparison cleared");
    EXPECT_TRUE(pixels(kKeptPixel).empty());
    EXPECT_EQ(plot(), figure8Alone);
    EXPECT_FALSE(find("gra")->accessibleDescription().contains("kept"));
    EXPECT_EQ(figure("Kept", "omni_share"), "(hidden)");
    EXPECT_FALSE(clear->isEnabled());
}

std::string Text(const QRect &r)
{
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" + std::to_string(r.x()) + "+" +
           std::to_string(r.y());
}

// Where the details window opens: beside the window where the screen has
// room, over it where it has none, within the screen's available area (here
// a 1280 by 800 screen under a 32-pixel panel).
TEST(DetailsPlace, BesideTheWindowWhereThereIsRoomOverItWhereNot)
{
    const QRect available(0, 32, 1280, 768);
    const struct {
        const char *what;
        QRect window;
        QSize details;
        QPoint expected;
    } rows[] = {
        {"room on the right", {0, 32, 722, 580}, {300, 400}, {730, 32}},
        {"room on the left only", {558, 32, 722, 580}, {300, 400}, {250, 32}},
        {"Polish, kept, no room beside", {0, 32, 722, 580}, {689, 420}, {33, 32}},
        {"the window as wide as the screen", {0, 32, 1280, 580}, {300, 400}, {980, 32}},
        {"the window low on the screen", {100, 600, 722, 580}, {300, 400}, {830, 400}},
        {"the window partly off the right edge", {1000, 32, 722, 580}, {300, 400}, {692, 32}},
        {"the window above the panel", {0, 0, 722, 580}, {300, 400}, {730, 32}},
        {"wider than the screen", {0, 32, 722, 580}, {1400, 400}, {0, 32}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(DetailsPosition(row.window, row.details, available), row.expected) << row.what;
}

// On a screen with no room beside the window (the offscreen platform's is
// 800 pixels wide), the details open over it and stay on the screen as the
// kept column makes them wider.
TEST_P(Details, OpensOnTheScreenAndStaysThereAsItGrows)
{
    const QRect available = window->screen()->availableGeometry();
    window->move(available.right() + 1 - window->frameGeometry().width(), available.top());
    find("gra")->setFocus();
    press("gra", Qt::Key_D);
    ASSERT_NE(view(), nullptr);
    EXPECT_TRUE(available.contains(view()->frameGeometry())) << "opened at " << Text(view()->frameGeometry()) << " in " << Text(available);
    click("Command3");
    window->findChild<QAction *>("KeepAction")->trigger();
    click("Cardiod");
    QCoreApplication::processEvents();
    ASSERT_TRUE(find<QLabel>("Kept_null_deg")->isVisible());
    EXPECT_TRUE(available.contains(view()->frameGeometry())) << Text(view()->frameGeometry()) << " in " << Text(available);
}

} // namespace
} // namespace orvane::testing
