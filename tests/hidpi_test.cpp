// The window at twice the scale (CTest runs this with QT_SCALE_FACTOR=2): twice
// the size in device pixels, every control in its place, plot lines two device
// pixels wide, solid and without blended edge pixels.
#include <QSet>
#include <QSlider>

#include "window_fixture.h"

namespace orvane::testing {
namespace {

// Every pixel of the plot is one of its five colours: nothing is blended.
void ExpectOnlyPlotColours(const QImage &image)
{
    const QSet<QRgb> palette{Rgb(kSurfaceBackground), Rgb(kCyan), Rgb(kYellow), Rgb(kWhite),
                             Rgb(kBlack)};
    int foreign = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            foreign += !palette.contains(image.pixel(x, y));
    EXPECT_EQ(foreign, 0);
}

class Scaled : public WindowTest {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2")
            GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2 (see tests/CMakeLists.txt)";
        open(Edition::Full);
        press("Slider1", Qt::Key_Home);
        press("Slider2", Qt::Key_Home);
    }
};

TEST_F(Scaled, TheWindowDoublesAndTheControlsKeepTheirPlaces)
{
    EXPECT_EQ(window->devicePixelRatio(), 2.0);
    EXPECT_EQ(window->grab().toImage().size(), QSize(1440, 1068));
    EXPECT_EQ(find("gra")->geometry(), QRect(128, 48, 577, 481));
    EXPECT_EQ(find("Slider3")->geometry(), QRect(0, 496, 129, 25));
}

TEST_F(Scaled, PlotLinesAreTwoDevicePixelsSolidAndCrisp)
{
    const QImage image = plot();
    ASSERT_EQ(image.size(), QSize(1146, 954));
    ExpectOnlyPlotColours(image);

    // The horizontal axis, left of every curve: two full rows of cyan between
    // rows of background.
    const int row = static_cast<int>(kCentreY / kTwipsPerPixel * 2);
    for (int x = 0; x < 200; ++x) {
        EXPECT_EQ(image.pixel(x, row - 1), Rgb(kSurfaceBackground)) << x;
        EXPECT_EQ(image.pixel(x, row), Rgb(kCyan)) << x;
        EXPECT_EQ(image.pixel(x, row + 1), Rgb(kCyan)) << x;
        EXPECT_EQ(image.pixel(x, row + 2), Rgb(kSurfaceBackground)) << x;
    }
    EXPECT_TRUE(ColourNear(image, kCentreX, kCentreY + 4000, kBlack));
    EXPECT_TRUE(ColourNear(image, kCentreX + 1414.2f, kCentreY - 1414.2f, kWhite));
}

TEST(PlotColours, AtNormalScaleNothingIsBlendedEither)
{
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2")
        GTEST_SKIP() << "covered by the scaled run";
    OrvaneFrm window(Edition::Full);
    window.show();
    QTest::keyClick(window.findChild<QSlider *>("Slider1"), Qt::Key_Home);
    QTest::keyClick(window.findChild<QSlider *>("Slider2"), Qt::Key_PageUp);
    QTest::keyClick(window.findChild<QSlider *>("Slider3"), Qt::Key_Left);
    auto *gra = window.findChild<PlotSurface *>("gra");
    ExpectOnlyPlotColours(gra->grab(gra->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32));
}

} // namespace
} // namespace orvane::testing
