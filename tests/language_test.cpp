// The window in every language of the table in pattern/translation.cpp: a
// digest of every text it shows and says, so that a change to any translation
// shows in review; every text measured against its box in the window's fonts;
// and the choice of the language, from the system's settings and --lang, with
// the decimal separator that comes with it.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStyleOptionButton>

#include "editions/command_line.h"
#include "pattern/datasheet_plot.h"
#include "pattern/error_text.h"
#include "pattern/layout.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_sound.h"
#include "pattern/state_text.h"
#include "pattern/stereo_pair.h"
#include "pattern/translation.h"
#include "tests/window_fixture.h"
#include "window/accessibility.h"
#include "window/figure.h"
#include "window/font_pages.h"

namespace orvane {
// The language's code in test names and messages.
inline void PrintTo(const Language *language, std::ostream *out)
{
    *out << language->code;
}
} // namespace orvane

namespace orvane::testing {
namespace {

// The digests of each language, full edition then lite. A change to a
// translation changes its line here; the English one changes only where the
// window gains texts (the plot's figure and details entries, the details
// window, the messages of links and the command line, a longer --help, the
// menu bar).
const std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> kDigests = {
    {"en", {0x77619902BC415F9F, 0xEE6130AD9427C3E9}},
    {"de", {0x7D8B37C6179AE74A, 0xB385C264DB2CD408}},
    {"fr", {0xF09358F66227E4F7, 0x11EE826BB62C69E0}},
    {"es", {0xAC21D31B9BFDFBD2, 0xA6299A17515ADF9B}},
    {"it", {0xCF1E272CB8E65C73, 0xCDD888E936A6DB09}},
    {"pt-BR", {0xBE9DFD90D6294A0E, 0x2C40D4B37CA55568}},
    {"nl", {0x979EAC11C2394CAB, 0xCAFA8AA0B6564FD0}},
    {"pl", {0x5DEC1E94BA7AB397, 0x3F95BEE9F209640D}},
    {"ja", {0x579A4D3991FF1D6C, 0x55D94B592AE556BC}},
    {"zh-CN", {0xF4AC000CC75E55C9, 0x884CC79C7356C6C5}},
    {"ko", {0x596274488E3C6ADE, 0xC81F5A1C4D86719A}},
};

bool IsReadout(const QWidget *control);

// Sets the language for one window and back to English after it.
class InLanguage : public WindowTest, public ::testing::WithParamInterface<const Language *> {
protected:
    void SetUp() override { SetLanguage(*GetParam()); }
    void TearDown() override
    {
        WindowTest::TearDown();
        window.reset();
        SetLanguage(English());
    }

    void checkFit();

    QString announced()
    {
        for (QObject *child : window->children())
            if (auto *announcer = dynamic_cast<Announcer *>(child))
                return announcer->text();
        return {};
    }

    // Every text of the window as it stands: each control's shown text,
    // tooltip, accessible name and description, in tab order, and the menu.
    void collect(QStringList &texts)
    {
        for (QWidget *control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            QString shown;
            if (auto *label = qobject_cast<QLabel *>(control))
                shown = label->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(control))
                shown = button->text();
            texts << control->objectName() + ": " + shown + " | " + control->toolTip() + " | " +
                         control->accessibleName() + " | " + control->accessibleDescription();
        }
        for (QAction *action : find<QMenu>("PlotMenu")->actions())
            texts << action->objectName() + ": " + action->text();
        for (QAction *menu : find<QMenuBar>("MenuBar")->actions()) {
            texts << menu->text();
            for (QAction *action : menu->menu()->actions())
                texts << action->objectName() + ": " + action->text() + " | " +
                             action->shortcut().toString(QKeySequence::NativeText);
        }
    }

    // The details window's title, headings, figures and their names.
    void collectDetails(QStringList &texts)
    {
        auto *view = window->findChild<QWidget *>("DetailsView");
        texts << view->windowTitle();
        for (QLabel *label : view->findChildren<QLabel *>())
            if (label->isVisibleTo(view))
                texts << label->objectName() + ": " + label->text() + " | " + label->accessibleName();
    }

    // The pair window's title, controls, figures and their names.
    void collectPair(QStringList &texts)
    {
        QCoreApplication::processEvents();
        auto *view = window->findChild<QWidget *>("PairView");
        texts << view->windowTitle() + " | " + view->accessibleDescription();
        for (QWidget *control : view->findChildren<QWidget *>()) {
            QString shown;
            if (auto *label = qobject_cast<QLabel *>(control))
                shown = label->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(control))
                shown = button->text();
            if (control->isVisibleTo(view) && !(shown + control->accessibleName()).isEmpty())
                texts << control->objectName() + ": " + shown + " | " + control->accessibleName() + " | " +
                             control->accessibleDescription();
        }
    }

    // Qt's own texts, which Save image and Print show: the file and print
    // dialogs' labels and buttons as they open from the window.
    void collectQtDialogs(QStringList &texts)
    {
        QFileDialog files(window.get());
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        QPrinter printer;
        QPrintDialog print(&printer, window.get());
        for (QDialog *dialog : std::initializer_list<QDialog *>{&files, &print}) {
            texts << dialog->windowTitle();
            // The printer's location and type are this machine's, not texts.
            for (QLabel *label : dialog->findChildren<QLabel *>())
                if (label->objectName() != QLatin1String("location") && label->objectName() != QLatin1String("type"))
                    texts << label->text();
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                if (!button->text().isEmpty())
                    texts << button->text();
        }
    }

    // What the window shows and says through a session that reaches every
    // kind of text: the start, each pattern button, the probe at the angles
    // where its words change (one degree, "off"), a slider move; the sentences
    // spoken on listening, the error box's and --help.
    QStringList session(Edition edition)
    {
        open(edition);
        QStringList texts;
        collect(texts);
        for (const char *button : {"Cardiod", "Command1", "Command2", "Command3", "Command4"}) {
            find<QPushButton>(button)->click();
            texts << announced();
            if (edition == Edition::Full) {
                for (const int angle : {1, -1, 2, 5, 180}) {
                    auto *slider = find<QAbstractSlider>("Slider3");
                    slider->setSliderPosition(angle);
                    slider->triggerAction(QAbstractSlider::SliderMove);
                    texts << announced();
                }
            }
            collect(texts);
        }
        press("Slider1", Qt::Key_PageDown, 3);
        collect(texts);
        // The pattern's figures and the comparison: the details window, the
        // announcements and the plot's description while a pattern is kept.
        find<QAction>("DetailsAction")->trigger();
        find<QAction>("KeepAction")->trigger();
        texts << announced();
        QCoreApplication::processEvents(); // the details window follows once the handler has ended
        collect(texts);
        collectDetails(texts);
        find<QAction>("ClearKeptAction")->trigger();
        texts << announced();
        // The figure's captions, and the messages of links and the command line.
        const QString separator = QString::fromUtf8(CurrentLanguage().decimalSeparator);
        for (const PatternState &state : {PatternState{30, 0, 120}, PatternState{20, 10, 45}, PatternState{0, 0, 180}})
            texts << QString::fromStdString(MakeFigure(state, edition, separator).caption);
        // A figure with a kept pattern names both.
        for (const KeptPattern kept : {KeptPattern{0, 0}, KeptPattern{20, 10}})
            texts << QString::fromStdString(MakeFigure({50, 0, 120}, edition, separator, kept).caption);
        // The datasheet view: its labels and legend, what it adds to the
        // plot's description, its announcements, and the pattern's equation.
        const std::string sep = separator.toStdString();
        const Figure datasheet = MakeFigure({30, 0, std::nullopt, {PlotView::Db, 30}}, edition, separator);
        for (const FigureDrawing::Label &label : datasheet.drawing.labels())
            texts << QString::fromStdString(label.text);
        texts << QString::fromStdString(DatasheetDescription(30, 0, 20, sep))
              << QString::fromStdString(ViewAnnouncement({PlotView::Db, 40}))
              << QString::fromStdString(ViewAnnouncement({})) << QString::fromStdString(PatternEquation(DetailsFor(30, 0), sep));
        texts << SaveFigure(MakeFigure({}, edition, separator), "/nonexistent-folder/plot.png", 1)
              << SaveFigure(MakeFigure({}, edition, separator), "plot.gif", 1);
        for (const char *state : {"", "omni=1&omni=2&fig8=0", "omni=1", "omni", "omni=1&fig8=0&tilt=3",
                                  "omni=x&fig8=0", "omni=101&fig8=0", "omni=0&fig8=0&view=x",
                                  "omni=0&fig8=0&pair=ms&pairangle=5"})
            texts << QString::fromStdString(ReadStateText(state).error);
        for (const std::vector<const char *> &arguments :
             std::vector<std::vector<const char *>>{{"--bogus"}, {"--omni"}, {"--preset", "x"},
                                                    {"--export", "a.gif"}, {"--export", "a.png", "--scale", "9"},
                                                    {"--scale", "2"}, {"--range", "25"}, {"--pair", "ab"},
                                                    {"--pair-angle", "90"}, {"--side", "5"}}) {
            std::vector<const char *> argv{"Orvane"};
            argv.insert(argv.end(), arguments.begin(), arguments.end());
            texts << QString::fromStdString(ReadCommandLine(static_cast<int>(argv.size()), argv.data()).error);
        }
        for (const char *listen : {kListenStarted, kListenEnded})
            texts << QString::fromUtf8(Tr("listen", listen));
        texts << QString::fromStdString(Format(Tr("error", kWindowActionError),
                                               {"Slider1: " + std::string(Tr("error", "Overflow"))}));
        texts << QString::fromStdString(UsageText("Orvane", "Orvane", true));
        // The stereo pair's figures as the faces will show them.
        for (const auto &pair : {PairFigureValues(100, 100, StereoPair{PairTechnique::MS, 90, 0}, 90),
                                 PairFigureValues(50, 50, StereoPair{PairTechnique::XY, 90, 0}, 30)})
            for (std::size_t row = 0; row < pair.size(); ++row)
                texts << QString::fromStdString(PairFigureText(row, pair[row], sep));
        // The stereo pair's window, XY with the probe as its source (full
        // edition) and M/S, and its figures' captions.
        find<QPushButton>("Cardiod")->click();
        find<QAction>("StereoPairAction")->trigger();
        for (const char *technique : {"PairXy", "PairMs"}) {
            find<QAbstractButton>(technique)->click();
            collectPair(texts);
        }
        for (const PatternState &state : {PatternState{0, 0, 30, {}, StereoPair{PairTechnique::XY, 90, 0}},
                                          PatternState{20, 10, std::nullopt, {}, StereoPair{PairTechnique::MS, 0, 20}}})
            texts << QString::fromStdString(MakePairFigure(state, edition, separator).caption);
        find<QAction>("StereoPairAction")->trigger();
        collectQtDialogs(texts);
        return texts;
    }
};

bool IsReadout(const QWidget *control)
{
    for (const ControlSpec &entry : ControlTable())
        if (control->objectName() == QLatin1String(entry.name))
            return entry.kind == ControlKind::Readout;
    return false;
}

std::uint64_t Digest(const QStringList &texts)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const QString &text : texts)
        for (const char byte : text.toUtf8() + '\n') {
            hash ^= static_cast<unsigned char>(byte);
            hash *= 0x100000001b3ULL;
        }
    return hash;
}

TEST_P(InLanguage, EveryTextShownAndSpokenMatchesItsDigest)
{
    const std::string code = GetParam()->code;
    for (const Edition edition : {Edition::Full, Edition::Lite}) {
        const QStringList texts = session(edition);
        const std::uint64_t digest = Digest(texts);
        const auto pinned = kDigests.find(code);
        const std::uint64_t expected = pinned == kDigests.end() ? 0
                                       : edition == Edition::Full ? pinned->second.first
                                                                  : pinned->second.second;
        if (digest != expected) {
            // The texts themselves, for the review of the change.
            const std::string path = "texts-" + code + (edition == Edition::Full ? "" : "-lite") + ".txt";
            std::ofstream(path) << texts.join("\n").toStdString() << "\n";
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%016llX", static_cast<unsigned long long>(digest));
            ADD_FAILURE() << code << " " << (edition == Edition::Full ? "full" : "lite") << ": digest " << hex
                          << "; the texts are in " << path;
        }
        EXPECT_EQ(MissedTexts(), std::vector<std::string>{}) << "looked up under another context than marked";
        window.reset();
    }
}

// The readouts carry the language's decimal separator, with the same digits.
TEST_P(InLanguage, ReadoutsUseTheLanguagesDecimalSeparator)
{
    open(Edition::Full);
    const QString separator = QString::fromUtf8(GetParam()->decimalSeparator);
    EXPECT_EQ(text("dbomni"), "-40" + separator + "0864274753527");
    find<QPushButton>("Command3")->click();
    EXPECT_EQ(text("dbomni"), "-3" + separator + "06126050124842");
}

// Every text fits its box in the window's fonts: a label's text, or the
// shortest of its forms, within its box; a button's within the room its
// frame leaves. Run at scale 1 here and at scale 2 with the scaled tests.
TEST_P(InLanguage, EveryTextFitsItsBoxInTheWindowsFonts)
{
    checkFit();
}

void InLanguage::checkFit()
{
    for (const Edition edition : {Edition::Full, Edition::Lite}) {
        open(edition);
        for (QWidget *control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (IsReadout(control))
                continue; // fixed boxes that clip long values by design; the tooltip has all of it
            QString text;
            QRect room = control->contentsRect();
            if (auto *label = qobject_cast<QLabel *>(control)) {
                text = label->text();
            } else if (auto *button = qobject_cast<QPushButton *>(control)) {
                text = button->text();
                QStyleOptionButton option;
                option.initFrom(button);
                room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            } else {
                continue;
            }
            const QFontMetricsF metrics(control->font(), control);
            // The forms, longest first, as Qt draws the first that fits.
            const QStringList forms = text.split(QChar(0x9C));
            const QString &shortest = forms.back();
            const QRectF needed = metrics.boundingRect(QRectF(room), Qt::AlignLeft | Qt::AlignTop, shortest);
            EXPECT_LE(needed.width(), room.width())
                << GetParam()->code << " " << control->objectName().toStdString() << ": \""
                << shortest.toStdString() << "\" needs " << needed.width() << " of " << room.width() << " pixels";
            EXPECT_LE(needed.height(), room.height() + 1)
                << GetParam()->code << " " << control->objectName().toStdString();
            if (forms.size() > 1) {
                // A shorter form on the screen; the full term for assistive technology.
                EXPECT_EQ(control->accessibleName(), forms.front()) << control->objectName().toStdString();
            }
        }
        // The details window sizes itself to its texts: a kept pattern beside
        // the current one, each figure's name and value whole on its line.
        find<QPushButton>("Command3")->click();
        find<QAction>("KeepAction")->trigger();
        find<QPushButton>("Cardiod")->click();
        find<QAction>("DetailsAction")->trigger();
        QCoreApplication::processEvents();
        auto *view = window->findChild<QWidget *>("DetailsView");
        EXPECT_TRUE(view->findChild<QLabel *>("Kept_null_deg")->isVisibleTo(view)) << "the kept column is measured too";
        for (QLabel *label : view->findChildren<QLabel *>()) {
            if (!label->isVisibleTo(view) || label->wordWrap())
                continue;
            const QFontMetricsF metrics(label->font(), label);
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width() + 0.5)
                << GetParam()->code << " " << label->objectName().toStdString() << ": \"" << label->text().toStdString() << "\"";
        }
        // The pair window sizes itself to its texts as well: every caption,
        // button and figure whole, with the probe's figures at the source.
        find<QAction>("StereoPairAction")->trigger();
        if (edition == Edition::Full)
            press("Slider3", Qt::Key_Right, 30);
        for (const char *technique : {"PairXy", "PairMs"}) {
            find<QAbstractButton>(technique)->click();
            QCoreApplication::processEvents();
            auto *pair = window->findChild<QWidget *>("PairView");
            ASSERT_TRUE(pair->isVisible());
            for (QWidget *control : pair->findChildren<QWidget *>()) {
                QString text;
                QRect room = control->contentsRect();
                if (auto *label = qobject_cast<QLabel *>(control)) {
                    text = label->text();
                } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
                    text = button->text();
                    room = control->rect(); // a radio button's indicator stands inside it too
                } else {
                    continue;
                }
                if (!control->isVisibleTo(pair))
                    continue;
                const QFontMetricsF metrics(control->font(), control);
                EXPECT_LE(metrics.horizontalAdvance(text), room.width() + 0.5)
                    << GetParam()->code << " " << control->objectName().toStdString() << ": "" << text.toStdString() << """;
            }
            // Beside the main window's plot on a screen of 1366 pixels, at most.
            EXPECT_LE(pair->width(), 1366 - 8) << GetParam()->code;
        }
        window.reset();
    }
}

std::vector<const Language *> AllLanguages()
{
    std::vector<const Language *> all;
    for (const Language &language : Languages())
        all.push_back(&language);
    return all;
}

std::string CodeName(const ::testing::TestParamInfo<const Language *> &info)
{
    std::string name = info.param->code;
    for (char &c : name)
        if (c == '-')
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Languages, InLanguage, ::testing::ValuesIn(AllLanguages()), CodeName);

// What a CJK window's first paint mapped of its font files goes once it is
// over: without it, 3.1 MB of the Noto CJK collection stay mapped. Read once
// the release has ended; the events run until then (a second paint) map 84 to
// 136 kB again, a glyph's 64 kB of fault-around or two.
class InCjkLanguage : public InLanguage {};

TEST_P(InCjkLanguage, FontPagesGoOnceTheWindowIsFirstPainted)
{
    open(Edition::Full);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->findChild<QObject *>("FontPageRelease"); }))
        << "the window was not painted";
    ASSERT_FALSE(MappedFontFiles().empty()) << "no font file found mapped";
    std::ifstream smaps("/proc/self/smaps");
    long residentKb = 0;
    bool inFont = false;
    for (std::string line; std::getline(smaps, line);) {
        if (line.find('-') < line.find(' ') && line.find(':') > line.find(' '))
            inFont = FontFileMapping(line).has_value(); // a mapping's first line
        else if (inFont && line.rfind("Rss:", 0) == 0)
            residentKb += std::stol(line.substr(4));
    }
    EXPECT_LE(residentKb, 512) << GetParam()->code << ": kB of font files still mapped";
}

std::vector<const Language *> CjkLanguages()
{
    std::vector<const Language *> cjk;
    for (const Language &language : Languages())
        if (*language.cjkFont)
            cjk.push_back(&language);
    return cjk;
}

INSTANTIATE_TEST_SUITE_P(Languages, InCjkLanguage, ::testing::ValuesIn(CjkLanguages()), CodeName);

// The scaled run (QT_SCALE_FACTOR=2) measures again at its own font sizes.
class ScaledLanguage : public InLanguage {};
TEST_P(ScaledLanguage, EveryTextFitsItsBox)
{
    checkFit();
}
INSTANTIATE_TEST_SUITE_P(Languages, ScaledLanguage, ::testing::ValuesIn(AllLanguages()), CodeName);

// The language the program starts in: the system's settings in Qt's order,
// --lang over them, English for a language with no catalogue (with one line
// on standard error where --lang named it), as --help shows it.
TEST(LanguageChoice, SystemSettingsAndLangPickTheCatalogue)
{
    struct Case {
        QStringList environment;
        QStringList arguments;
        const char *helpStarts; // the first word of --help
        const char *error;      // what standard error says, or ""
    };
    const Case cases[] = {
        {{"LANG=de_DE.UTF-8"}, {}, "Aufruf:", ""},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=fr:de"}, {}, "Usage :", ""},
        {{"LANG=de_DE.UTF-8", "LC_MESSAGES=ja_JP.UTF-8"}, {}, "使い方:", ""},
        {{"LANG=de_DE.UTF-8", "LC_ALL=pl_PL.UTF-8"}, {}, "Użycie:", ""},
        {{"LANG=pt_BR.UTF-8"}, {}, "Uso:", ""},
        {{"LANG=sv_SE.UTF-8"}, {}, "Usage:", ""},
        {{"LANG=zh_TW.UTF-8"}, {}, "Usage:", ""},
        {{"LANG=de_DE.UTF-8"}, {"--lang", "ko"}, "사용법:", ""},
        {{"LANG=C"}, {"--lang=pt-BR"}, "Uso:", ""},
        {{"LANG=C"}, {"--lang", "zh_CN"}, "用法：", ""},
        {{"LANG=de_DE.UTF-8"}, {"--lang", "xx-YY"}, "Usage:", "no texts in \"xx-YY\"; the window is in English"},
        {{"LANG=de_DE.UTF-8"}, {"--lang", "en"}, "Usage:", ""},
    };
    for (const Case &c : cases) {
        QProcess program;
        QProcessEnvironment environment;
        environment.insert("PATH", qEnvironmentVariable("PATH"));
        for (const QString &setting : c.environment)
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        program.setProcessEnvironment(environment);
        program.start(ORVANE_PROGRAM, c.arguments + QStringList{"--help"});
        ASSERT_TRUE(program.waitForFinished(10000));
        const QString help = QString::fromUtf8(program.readAllStandardOutput());
        const QString error = QString::fromUtf8(program.readAllStandardError());
        const QString setting = c.environment.join(' ') + " " + c.arguments.join(' ');
        EXPECT_TRUE(help.startsWith(QString::fromUtf8(c.helpStarts))) << setting.toStdString() << "\n" << help.toStdString();
        EXPECT_EQ(error.trimmed(), *c.error ? "Orvane: " + QString::fromUtf8(c.error) : QString()) << setting.toStdString();
        EXPECT_EQ(program.exitCode(), 0) << setting.toStdString();
    }
}

// A refused command line is said in --lang's language, wherever --lang stands.
TEST(LanguageChoice, ARefusalIsSaidInLangsLanguage)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"--omni", "101", "--lang", "de"}, "Orvane: --omni 101 liegt außerhalb des Bereichs: 0 bis 100"},
        {{"--lang=ja", "--bogus"}, "Orvane: 不明な引数「--bogus」です。--help でオプションを表示します"},
        {{"--lang", "pl", "--scale", "2"}, "Orvane: --scale to rozmiar dla --export; podaj też --export FILE"},
    };
    for (const auto &[arguments, said] : cases) {
        QProcess program;
        program.setProcessEnvironment(QProcessEnvironment{});
        program.start(ORVANE_PROGRAM, arguments);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(QString::fromUtf8(program.readAllStandardError()).trimmed(), said) << arguments.join(' ').toStdString();
        EXPECT_EQ(program.exitCode(), 2);
    }
}

} // namespace
} // namespace orvane::testing
