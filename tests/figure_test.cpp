// Figures of the plot: the PNG at scale 1 is the window's plot pixel for pixel,
// the SVG and the PDF (rasterised by Debian's rsvg-convert and pdftoppm) put
// every line of the pattern within a pixel of the PNG's, and a print goes
// through the print path to a PDF with the figure centred and its caption.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "window/figure.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

struct StateCase {
    Edition edition;
    PatternState state;
};

// Presets, levels of no preset, the probe in each quarter and at its ends, a
// null under the probe, the lowest levels; the lite edition ignores the angle.
const StateCase kStates[] = {
    {Edition::Full, {0, 0, std::nullopt}},   {Edition::Full, {30, 0, 120}},
    {Edition::Full, {50, 0, -180}},          {Edition::Full, {0, 0, 180}},
    {Edition::Full, {73, 12, -45}},          {Edition::Full, {100, 100, 7}},
    {Edition::Full, {0, 100, std::nullopt}}, {Edition::Lite, {50, 30, std::nullopt}},
    {Edition::Lite, {30, 0, 90}},
    // The datasheet view at each range: its labels drawn by the same text engine.
    {Edition::Full, {30, 0, 45, {PlotView::Db, 30}}},
    {Edition::Full, {80, 10, std::nullopt, {PlotView::Db, 20}}},
    {Edition::Full, {100, 100, 7, {PlotView::Db, 40}}},
    {Edition::Lite, {0, 0, std::nullopt, {PlotView::Db, 40}}},
};

class FigureTest : public WindowTest {
protected:
    QImage plotOf(const QImage &figure)
    {
        const PlotGeometry g = SurfaceGeometryOf();
        return figure.copy(0, 0, g.innerWidth, g.innerHeight);
    }
};

TEST_F(FigureTest, ScaleOnePngIsTheWindowsPlotAfterTheState)
{
    for (const StateCase &c : kStates) {
        open(c.edition);
        window->showState(c.state);
        PatternState shown = c.state;
        if (!HasProbe(c.edition))
            shown.angle.reset();
        EXPECT_EQ(window->shownState(), shown) << StateText(c.state);
        const QImage drawn = find<PlotSurface>("gra")->image().convertToFormat(QImage::Format_RGB32);
        const Figure figure = MakeFigure(c.state, c.edition, ".");
        EXPECT_TRUE(plotOf(FigureImage(figure, 1)) == drawn) << StateText(c.state);
        if (shown.angle) {
            EXPECT_NE(figure.caption.find("probe at " + std::to_string(*shown.angle) + "\u00b0"), std::string::npos)
                << figure.caption;
        }
    }
}

// The key V on the plot switches the datasheet view on and off, and a range
// from the menu shows it at that range: the plot is the figure of the state
// shown, also where a redraw puts back the grid the surface kept.
TEST_F(FigureTest, TheDatasheetViewIsSwitchedByKeyAndMenuAndDrawsTheFigureOfItsState)
{
    open(Edition::Full);
    QTest::mouseClick(find<QPushButton>("Command4"), Qt::LeftButton);
    auto *datasheet = window->findChild<QAction *>("DatasheetAction");
    ASSERT_NE(datasheet, nullptr);
    const auto plotIs = [&](const PatternState &state) {
        EXPECT_EQ(window->shownState(), state);
        const QImage drawn = find<PlotSurface>("gra")->image().convertToFormat(QImage::Format_RGB32);
        return plotOf(FigureImage(MakeFigure(state, Edition::Full, "."), 1)) == drawn;
    };
    const struct {
        const char *step;
        PatternState state;
        bool checked;
    } steps[] = {
        {"V", {50, 0, std::nullopt, {PlotView::Db, 30}}, true},
        {"Slider1 Down", {51, 0, std::nullopt, {PlotView::Db, 30}}, true}, // the kept grid
        {"Range20Action", {51, 0, std::nullopt, {PlotView::Db, 20}}, true},
        {"Slider3 End", {51, 0, 180, {PlotView::Db, 20}}, true},
        {"V", {51, 0, 180, {PlotView::Polar, 20}}, false},
        {"V", {51, 0, 180, {PlotView::Db, 20}}, true},
    };
    for (const auto &s : steps) {
        const std::string step = s.step;
        if (step == "V")
            press("gra", Qt::Key_V);
        else if (step == "Slider1 Down")
            press("Slider1", Qt::Key_Down);
        else if (step == "Slider3 End")
            press("Slider3", Qt::Key_End);
        else
            window->findChild<QAction *>(s.step)->trigger();
        EXPECT_TRUE(plotIs(s.state)) << step;
        EXPECT_EQ(datasheet->isChecked(), s.checked) << step;
        for (const int range : {20, 30, 40})
            EXPECT_EQ(window->findChild<QAction *>(QString("Range%1Action").arg(range))->isChecked(),
                      s.checked && s.state.view.rangeDb == range)
                << step << " " << range;
    }
}

// What the state shows is what the user's own moves show: the readouts, the
// plot and the probe line.
TEST_F(FigureTest, StateShowsWhatTheUsersMovesShow)
{
    open(Edition::Full);
    QTest::mouseClick(find<QPushButton>("Command4"), Qt::LeftButton);
    press("Slider3", Qt::Key_End);
    press("Slider3", Qt::Key_Left, 60);
    const QImage moved = find<PlotSurface>("gra")->image().copy();
    const QStringList readouts{text("dbomni"), text("dbfig8"), text("LblAngle"), text("LblGain")};
    EXPECT_EQ(window->shownState(), (PatternState{50, 0, 120}));
    open(Edition::Full);
    window->showState({50, 0, 120});
    EXPECT_TRUE(find<PlotSurface>("gra")->image() == moved);
    EXPECT_EQ((QStringList{text("dbomni"), text("dbfig8"), text("LblAngle"), text("LblGain")}), readouts);
    press("Slider1", Qt::Key_Down); // a level's move takes the probe line away
    EXPECT_EQ(window->shownState(), (PatternState{51, 0, std::nullopt}));
}

TEST_F(FigureTest, CopyImageKeyPutsTheFigureOnTheClipboard)
{
    open(Edition::Full);
    window->activateWindow(); // the keys of a window that is not active go nowhere
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    find("gra")->setFocus();
    window->showState({0, 0, std::nullopt});
    QTest::keyClick(find("gra"), Qt::Key_K); // the cardioid kept, drawn under the pattern
    window->showState({30, 0, 45});
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(find("gra"), Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(copied == FigureImage(MakeFigure({30, 0, 45}, Edition::Full, ".", KeptPattern{0, 0}), 1));
    // The figure is the plot as the window shows it, the kept pattern too.
    EXPECT_TRUE(plotOf(copied) == find<PlotSurface>("gra")->image().convertToFormat(QImage::Format_RGB32));
    for (const char *action : {"CopyImageAction", "SaveImageAction", "PrintAction"})
        EXPECT_NE(find<QMenu>("PlotMenu")->findChild<QAction *>(action), nullptr) << action;
}

// The save dialog proposes a name, as printing names its job: Enter saves.
// The pair window's figure has a name of its own.
TEST_F(FigureTest, SaveImageProposesAName)
{
    open(Edition::Full);
    window->showState({30, 0, std::nullopt});
    const struct {
        const char *action;
        const char *proposes;
    } rows[] = {
        {"SaveImageAction", "Orvane polar pattern.png"},
        {"PairSaveImageAction", "Orvane stereo pair.png"},
    };
    find<QAction>("StereoPairAction")->trigger();
    for (const auto &row : rows) {
        QString proposed = "(no dialog)";
        // Runs inside the dialog's own event loop, once it is up.
        QTimer::singleShot(0, window.get(), [&proposed] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (dialog->objectName() == QLatin1String("SaveDialog"))
                proposed = dialog->selectedFiles().value(0);
            dialog->reject();
        });
        find<QAction>(row.action)->trigger();
        EXPECT_EQ(QFileInfo(proposed).fileName(), QString(row.proposes)) << row.action;
    }
}

// A command's output, or a skip where the tool is not installed.
QString Tool(const QString &program, const QStringList &arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()) + " ";
}

bool Dark(QRgb pixel)
{
    return qGray(pixel) < 80;
}

// Pattern pixels (black in the PNG, dark in the other) that have none of the
// other's within `reach` pixels, both ways; the first few are named in `where`.
int Unmatched(const QImage &png, const QImage &other, int height, int reach, std::string *where = nullptr)
{
    auto near = [&](const QImage &image, int x, int y, auto isLine) {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (image.valid(x + dx, y + dy) && isLine(image.pixel(x + dx, y + dy)))
                    return true;
        return false;
    };
    auto black = [](QRgb p) { return qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0; };
    const QRgb background = png.pixel(0, height - 1);
    auto crossing = [&](QRgb p) { return p != background && qRed(p) + qGreen(p) + qBlue(p) > 0; };
    int unmatched = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < png.width(); ++x) {
            // Where another line crosses the pattern, smoothed vectors blend
            // the two colours: a pattern pixel there is left out. A pixel the
            // other draws is the pattern's where it is nearly black.
            const bool missing = black(png.pixel(x, y)) && !near(other, x, y, Dark) && !near(png, x, y, crossing);
            const bool extra = other.valid(x, y) && qGray(other.pixel(x, y)) < 40 && !near(png, x, y, black);
            if ((missing || extra) && where && unmatched < 5)
                *where += (missing ? " missing at " : " extra at ") + std::to_string(x) + "," + std::to_string(y);
            unmatched += missing + extra;
        }
    return unmatched;
}

TEST_F(FigureTest, SvgAndPdfAgreeWithThePngOfTheSameScale)
{
    if (Tool("rsvg-convert", {"--version"}).isEmpty() || Tool("pdftoppm", {"-v"}).isNull())
        GTEST_SKIP() << "rsvg-convert (librsvg2-bin) and pdftoppm (poppler-utils) are needed";
    QTemporaryDir dir;
    const PlotGeometry g = SurfaceGeometryOf();
    for (const StateCase &c : {kStates[1], kStates[4], kStates[7]})
        for (const int scale : {1, 3}) {
            const Figure figure = MakeFigure(c.state, c.edition, ",");
            const QImage png = FigureImage(figure, scale);
            const QString svg = dir.filePath("f.svg");
            const QString pdf = dir.filePath("f.pdf");
            ASSERT_EQ(SaveFigure(figure, svg, scale), QString());
            ASSERT_EQ(SaveFigure(figure, pdf, scale), QString());
            Tool("rsvg-convert", {"-o", dir.filePath("svg.png"), svg});
            Tool("pdftoppm", {"-png", "-r", "96", "-singlefile", pdf, dir.filePath("pdf")});
            const std::string what = StateText(c.state) + " at scale " + std::to_string(scale);
            for (const QString &name : {QStringLiteral("svg.png"), QStringLiteral("pdf.png")}) {
                const QImage other = QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32);
                EXPECT_LE(std::abs(other.width() - png.width()) + std::abs(other.height() - png.height()), 2)
                    << name.toStdString() << " " << what;
                std::string where;
                EXPECT_EQ(Unmatched(png, other, g.innerHeight * scale, scale, &where), 0)
                    << name.toStdString() << " " << what << where;
            }
            EXPECT_TRUE(Tool("pdftotext", {pdf, "-"}).contains(QString::fromStdString(figure.caption))) << what;
        }
}

TEST_F(FigureTest, PrintPutsTheFigureCentredOnThePageAsVectors)
{
    if (Tool("pdftoppm", {"-v"}).isNull())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is needed";
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("print.pdf"));
    const Figure figure = MakeFigure({30, 0, 120}, Edition::Full, ".");
    PrintFigure(printer, figure);
    EXPECT_TRUE(Tool("pdftotext", {dir.filePath("print.pdf"), "-"}).contains(QString::fromStdString(figure.caption)));
    Tool("pdftoppm", {"-png", "-r", "96", "-singlefile", dir.filePath("print.pdf"), dir.filePath("page")});
    const QImage page = QImage(dir.filePath("page.png")).convertToFormat(QImage::Format_RGB32);
    // The plot's background colour spans the figure's plot.
    QRect plot;
    const QRgb background = qRgb(0, 0xC0, 0xC0);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) == background)
                plot |= QRect(x, y, 1, 1);
    const PlotGeometry g = SurfaceGeometryOf();
    ASSERT_FALSE(plot.isEmpty());
    EXPECT_LE(std::abs(plot.left() - (page.width() - 1 - plot.right())), 3) << "not centred across";
    EXPECT_GT(plot.width(), page.width() / 2) << "not fitted to the page";
    EXPECT_NEAR(double(plot.width()) / plot.height(), double(g.innerWidth) / g.innerHeight, 0.02);
    // The pattern at the print's scale: the PNG at the nearest whole scale,
    // sized to the printed plot, has its black lines where the print has.
    const double scale = double(plot.width()) / g.innerWidth;
    const QImage png = FigureImage(figure, qRound(scale))
                           .scaled(qRound(g.innerWidth * scale), qRound((g.innerHeight + kCaptionBand) * scale),
                                   Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QImage printed = page.copy(plot.left(), plot.top(), png.width(), png.height());
    EXPECT_LE(Unmatched(png, printed, plot.height(), qCeil(scale)), plot.height() / 20);
}

} // namespace
} // namespace orvane::testing
