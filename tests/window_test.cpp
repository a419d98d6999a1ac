#include <QAccessible>
#include <QApplication>
#include <QAction>
#include <QMenu>
#include <QActionGroup>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "pattern/actions.h"
#include "pattern/layout.h"
#include "pattern/plot_driver.h"
#include "pattern/translation.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

class EditionWindow : public WindowTest, public ::testing::WithParamInterface<Edition> {
protected:
    void SetUp() override { open(GetParam()); }
    bool full() const { return GetParam() == Edition::Full; }
};

INSTANTIATE_TEST_SUITE_P(Editions, EditionWindow, ::testing::Values(Edition::Full, Edition::Lite),
                         [](const ::testing::TestParamInfo<Edition> &param) {
                             return param.param == Edition::Full ? "Full" : "Lite";
                         });

TEST_P(EditionWindow, StartsWithTheReadoutsFilled)
{
    EXPECT_EQ(window->windowTitle(), "Orvane");
    EXPECT_EQ(window->clientArea().size(), QSize(720, 534));
    EXPECT_EQ(window->UnitTwips, 20);
    EXPECT_EQ(text("dbomni"), "-40.0864274753527");
    EXPECT_EQ(text("dbfig8"), "-40.0864274753527");
    EXPECT_EQ(value("Slider1"), 100);
    EXPECT_EQ(value("Slider2"), 100);
    if (full()) {
        EXPECT_EQ(value("Slider3"), 0);
        EXPECT_EQ(text("LblAngle"), "");
        EXPECT_EQ(text("LblGain"), "");
    }
    EXPECT_EQ(window->focusWidget(), find("gra"));
}

TEST_P(EditionWindow, TabVisitsTheControlsInTabOrder)
{
    QStringList cycle{"gra", "Slider1", "Slider2", "Cardiod", "Command1",
                      "Command2", "Command3", "Command4"};
    if (full())
        cycle << "Slider3";
    cycle << "gra";
    QStringList visited{window->focusWidget()->objectName()};
    for (int i = 1; i < cycle.size(); ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        visited << window->focusWidget()->objectName();
    }
    EXPECT_EQ(visited, cycle);
}

TEST_P(EditionWindow, LevelSliderKeysMoveByOneAndByTenAndRedraw)
{
    press("Slider1", Qt::Key_Up); // up raises the level: the value falls
    EXPECT_EQ(value("Slider1"), 99);
    EXPECT_EQ(text("dbomni"), "-34.0658275621182");
    press("Slider1", Qt::Key_PageUp, 2);
    EXPECT_EQ(value("Slider1"), 79);
    press("Slider1", Qt::Key_Down);
    EXPECT_EQ(value("Slider1"), 80);
    press("Slider2", Qt::Key_PageUp, 10);
    EXPECT_EQ(value("Slider2"), 0);
    EXPECT_EQ(text("dbfig8"), "0");
    press("Slider2", Qt::Key_PageDown);
    EXPECT_EQ(value("Slider2"), 10);
    EXPECT_EQ(text("dbfig8"), "-0.905599629224198");
    press("Slider2", Qt::Key_Home);
    EXPECT_EQ(value("Slider2"), 0);
    press("Slider1", Qt::Key_End);
    EXPECT_EQ(value("Slider1"), 100);
    EXPECT_EQ(text("dbomni"), "-40.0864274753527");
}

TEST_P(EditionWindow, AssistiveTechnologyHearsNamesValuesAndReadouts)
{
    auto accessible = [this](const char *name) {
        return QAccessible::queryAccessibleInterface(find(name));
    };
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.get())->role(), QAccessible::Window);
    EXPECT_EQ(accessible("gra")->role(), QAccessible::Graphic);
    for (auto *control : window->findChildren<QWidget *>()) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << control->objectName().toStdString();
    }
    // The plot says what it shows, to a listener and in its tooltip: nothing yet.
    EXPECT_TRUE(accessible("gra")->text(QAccessible::Description).startsWith("Empty"));
    // A readout is announced as its value and described by its meaning.
    press("Slider1", Qt::Key_PageUp);
    EXPECT_TRUE(accessible("gra")->text(QAccessible::Description).startsWith("Pattern: Omni. Omnidirectional pattern"));
    EXPECT_EQ(find("gra")->toolTip(), accessible("gra")->text(QAccessible::Description));
    EXPECT_EQ(accessible("dbomni")->text(QAccessible::Name), "-19.2585737723441");
    EXPECT_EQ(accessible("dbomni")->text(QAccessible::Description), "Omni level in dB");
    // A level slider's value is the level in dB, not the inverted position 90.
    EXPECT_NEAR(accessible("Slider1")->valueInterface()->currentValue().toDouble(),
                -19.2585737723441, 1e-12);
    // The caption over a slider names it, and the slider's name begins with
    // the caption: what a user of voice control says is what the screen shows.
    for (const ControlSpec &entry : ControlTable()) {
        if (!entry.captionOf || (entry.probeOnly && !full()))
            continue;
        const auto labels = accessible(entry.captionOf)->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << entry.captionOf;
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), entry.text) << entry.captionOf;
        if (accessible(entry.captionOf)->role() == QAccessible::Slider) {
            EXPECT_TRUE(accessible(entry.captionOf)->text(QAccessible::Name).startsWith(entry.text))
                << entry.captionOf;
        }
    }
    EXPECT_EQ(accessible("Slider2")->text(QAccessible::Name), "Fig 8 level");
    if (full()) {
        // Empty, a readout is not named by its caption.
        EXPECT_EQ(accessible("LblAngle")->text(QAccessible::Name), "");
        press("Slider3", Qt::Key_Right);
        EXPECT_EQ(accessible("LblAngle")->text(QAccessible::Name), "1");
        EXPECT_EQ(accessible("LblAngle")->relations(QAccessible::Label)[0].first->text(QAccessible::Name),
                  "Angle(deg):");
    }
}

TEST_P(EditionWindow, ResizingMovesAndResizesNothing)
{
    window->resize(1000, 800);
    // Where the layout table puts them in the client area, below the menu bar.
    const QPoint client = window->clientArea().topLeft();
    EXPECT_EQ(find("gra")->geometry(), QRect(128, 48, 577, 481).translated(client));
    window->showMaximized();
    EXPECT_EQ(find("Slider1")->geometry(), QRect(8, 80, 25, 137).translated(client));
    EXPECT_EQ(window->clientArea().topLeft(), client);
    EXPECT_EQ(find("MenuBar")->geometry().bottom() + 1, client.y());
}

TEST_P(EditionWindow, AnErrorIsReportedAndTheWindowGoesOn)
{
    auto *omni = find<QSlider>("Slider1");
    omni->setMaximum(200);
    omni->setValue(150); // beyond the readout rule: the logarithm of a negative
    press("Slider2", Qt::Key_Up);
    ASSERT_EQ(errors.size(), 1);
    // Named as the window shows the slider, by its caption.
    EXPECT_TRUE(errors[0].startsWith("Fig 8: ")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("Floating-point")) << errors[0].toStdString();
    EXPECT_EQ(text("dbfig8"), "-40.0864274753527"); // the handler ended before it
    errors.clear();
    if (full()) {
        press("Slider3", Qt::Key_Right);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].startsWith("Radial Position: ")) << errors[0].toStdString();
        errors.clear();
    }

    omni->setValue(50);
    press("Slider2", Qt::Key_Up);
    EXPECT_EQ(value("Slider2"), 98);
    EXPECT_EQ(text("dbomni"), "-5.93502395364968");
    EXPECT_EQ(text("dbfig8"), QString::fromStdString(ReadoutText(98, ".")));
}

// The menu bar's keys work wherever the focus is in the window, as the menus
// show them, and so do the plot's letters, since no control here takes
// letters: after a click on a pattern button, on a slider, on the plot.
TEST_P(EditionWindow, MenuKeysAndLettersWorkWhereverTheFocusIs)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *action;
    } keys[] = {
        {Qt::Key_C, Qt::ControlModifier, "CopyImageAction"}, {Qt::Key_S, Qt::ControlModifier, "SaveImageAction"},
        {Qt::Key_P, Qt::ControlModifier, "PrintAction"},     {Qt::Key_K, Qt::NoModifier, "KeepAction"},
        {Qt::Key_V, Qt::NoModifier, "DatasheetAction"},      {Qt::Key_D, Qt::NoModifier, "DetailsAction"},
    };
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(find("Command3"), Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), find("Command3"));
    for (const char *focus : {"Command3", "Slider1", "gra"}) {
        find(focus)->setFocus();
        for (const auto &k : keys) {
            QSignalSpy ran(find<QAction>(k.action), &QAction::triggered);
            // The save and print dialogs wait for the user: closed once they do.
            QTimer::singleShot(0, [] {
                if (QWidget *dialog = QApplication::activeModalWidget())
                    dialog->close();
            });
            QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
            EXPECT_EQ(ran.count(), 1) << focus << ": " << k.action;
            // Back from a dialog, or from the details beside the window, the
            // window has its focus where it was. (Qt's offscreen platform
            // gives a closed dialog's activation to no window: as a window
            // manager would, it goes back to the window.)
            if (QWidget *details = window->findChild<QWidget *>("DetailsView"))
                details->close();
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get())) << k.action;
            EXPECT_EQ(QApplication::focusWidget(), find(focus)) << k.action;
        }
    }
    EXPECT_EQ(find<QAction>("DatasheetAction")->isChecked(), true) << "V three times";

    // In the pair window the letters are the main window's still, the menu
    // bar's keys its own entries' (the pair's figure); P closes it.
    QTest::keyClick(find("gra"), Qt::Key_P);
    auto *pair = find("PairView");
    // (A tool window counts as active while its parent is: the wait is for
    // the pair window itself.)
    const auto pairActive = [pair] { return QApplication::activeWindow() == pair; };
    ASSERT_TRUE(QTest::qWaitFor(pairActive));
    for (const char *focus : {"PairAngle", "PairXy", "PairPlot"}) {
        find(focus)->setFocus();
        for (const auto &k : keys) {
            const QString action = QString(k.modifiers == Qt::NoModifier ? "" : "Pair") + k.action;
            QSignalSpy ran(find<QAction>(action.toLatin1().constData()), &QAction::triggered);
            QTimer::singleShot(0, [] {
                if (QWidget *dialog = QApplication::activeModalWidget())
                    dialog->close();
            });
            QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
            EXPECT_EQ(ran.count(), 1) << focus << ": " << action.toStdString();
            if (QWidget *details = window->findChild<QWidget *>("DetailsView"))
                details->close();
            pair->activateWindow();
            ASSERT_TRUE(QTest::qWaitFor(pairActive)) << k.action;
            EXPECT_EQ(QApplication::focusWidget(), find(focus)) << k.action;
        }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P);
    EXPECT_FALSE(pair->isVisible());
    EXPECT_FALSE(find<QAction>("StereoPairAction")->isChecked());
}

// The menu bar's extension button, which shows only when the menus do not fit
// the bar, draws the style's own icon, though the style is asked for it only
// when it is drawn.
TEST_F(WindowTest, TheMenuBarsExtensionDrawsTheStylesIcon)
{
    open(Edition::Full);
    auto *extension = find<QMenuBar>("MenuBar")->findChild<QToolButton *>("qt_menubar_ext_button");
    ASSERT_NE(extension, nullptr);
    auto *style = qobject_cast<QProxyStyle *>(QApplication::style());
    ASSERT_NE(style, nullptr);
    const QImage expected =
        style->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16).toImage();
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(extension->icon().pixmap(16).toImage(), expected);
}

// The menu bar holds the actions of the plot's menu and the help, with their
// keys beside them; an entry runs what the plot's key runs, and the help lists
// the keys.
TEST_P(EditionWindow, TheMenuBarHoldsEveryActionWithItsKey)
{
    const struct {
        const char *menu;
        QStringList entries; // "ObjectName Key", the probe's only in the full edition
    } rows[] = {
        {"File", {"CopyImageAction Ctrl+C", "SaveImageAction Ctrl+S", "PrintAction Ctrl+P"}},
        {"View", {"DetailsAction D", "StereoPairAction P", "KeepAction K", "ClearKeptAction ", "DatasheetAction V", "Range "}},
        {"Sound", full() ? QStringList{"ListenAction L", "ProbeSoundAction "} : QStringList{"ListenAction L"}},
        {"Help", {"KeysAction "}},
    };
    const QList<QAction *> menus = find<QMenuBar>("MenuBar")->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(std::size(rows)));
    for (int i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i]->text().remove('&'), rows[i].menu);
        QStringList entries;
        for (QAction *action : menus[i]->menu()->actions())
            if (!action->isSeparator())
                entries << action->objectName() + " " + action->shortcut().toString();
        EXPECT_EQ(entries, rows[i].entries) << rows[i].menu;
    }
    // Keep waits for a pattern: not on the blank plot, nor on one of no pattern.
    EXPECT_FALSE(find<QAction>("KeepAction")->isEnabled());
    press("Slider1", Qt::Key_End);
    EXPECT_FALSE(find<QAction>("KeepAction")->isEnabled());
    QTest::mouseClick(find<QPushButton>("Cardiod"), Qt::LeftButton);
    // The same action as the plot's menu and key: K keeps, so Clear is enabled.
    ASSERT_TRUE(find<QAction>("KeepAction")->isEnabled());
    find<QAction>("KeepAction")->trigger();
    EXPECT_TRUE(find<QAction>("ClearKeptAction")->isEnabled());
    find<QAction>("KeysAction")->trigger();
    auto *keys = find<QMessageBox>("KeysBox");
    ASSERT_NE(keys, nullptr);
    // The range's submenu: its entries exclude each other, in both menus.
    for (const char *menu : {"MenuBar", "PlotMenu"}) {
        QStringList ranges;
        for (QAction *action : find<QWidget>(menu)->findChild<QMenu *>("Range")->actions())
            ranges << action->text() + (action->actionGroup() && action->actionGroup()->isExclusive() ? " x" : "");
        EXPECT_EQ(ranges, (QStringList{"20 dB x", "30 dB x", "40 dB x"})) << menu;
    }
    for (const char *line : {"Listen to the pattern", "Pattern details", "Keep for comparison", "Ctrl+C", "Ctrl+S",
                             "Datasheet view (dB)"})
        EXPECT_TRUE(keys->text().contains(line)) << line;
    EXPECT_TRUE(errors.isEmpty());
}

// Every entry of the action table is where the table puts it, in the menu
// bar and in the plot's menu, with its key, and each key does one thing: an
// entry added to the table reaches the user without more code.
TEST_P(EditionWindow, EveryActionOfTheTableShowsWhereItSaysWithItsKey)
{
    const auto entriesOf = [](QWidget *menu) {
        QMap<QString, QAction *> found;
        QList<QMenu *> menus = menu->findChildren<QMenu *>();
        if (auto *itself = qobject_cast<QMenu *>(menu))
            menus << itself;
        for (QMenu *sub : menus)
            for (QAction *action : sub->actions())
                if (!action->isSeparator() && !action->menu())
                    found.insert(action->objectName(), action);
        return found;
    };
    const QMap<QString, QAction *> bar = entriesOf(find<QWidget>("MenuBar"));
    const QMap<QString, QAction *> plot = entriesOf(find<QWidget>("PlotMenu"));
    QSet<QString> keys;
    for (const ActionEntry &item : ActionTable()) {
        SCOPED_TRACE(item.name);
        const bool shown = Shows(item, GetParam());
        EXPECT_EQ(bar.contains(item.name), shown && (item.places & kMenuBar));
        EXPECT_EQ(plot.contains(item.name), shown && (item.places & kPlotMenu));
        QAction *action = bar.value(item.name, plot.value(item.name));
        if (!action)
            continue;
        EXPECT_EQ(action->text(), QString::fromStdString(ActionText(item)));
        EXPECT_EQ(action->isCheckable(), item.checkable);
        const QString key = action->shortcut().toString();
        EXPECT_EQ(key.isEmpty(), item.key == KeyKind::None);
        if (item.key == KeyKind::Letter) {
            EXPECT_EQ(key, QString(QChar(item.letter)));
        }
        if (!key.isEmpty()) {
            EXPECT_FALSE(keys.contains(key)) << key.toStdString() << " does two things";
        }
        keys.insert(key);
        if (plot.contains(item.name)) {
            EXPECT_EQ(plot[item.name]->shortcut(), action->shortcut());
        }
    }
}

// The separator is the language's, whatever Qt's default locale says.
TEST(Locale, ReadoutsUseTheLanguagesDecimalSeparator)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SetLanguage(*FindLanguage("de"));
    OrvaneFrm window(Edition::Lite);
    QLocale::setDefault(before);
    EXPECT_EQ(window.findChild<QLabel *>("dbomni")->text(), "-40,0864274753527");
    QTest::keyClick(window.findChild<QSlider *>("Slider2"), Qt::Key_Home);
    EXPECT_EQ(window.findChild<QLabel *>("dbfig8")->text(), "0");
    QTest::keyClick(window.findChild<QSlider *>("Slider2"), Qt::Key_PageDown);
    EXPECT_EQ(window.findChild<QLabel *>("dbfig8")->text(), "-0,905599629224198");
    SetLanguage(English());
}

TEST(ErrorDispatch, ShowsTheUserAMessageWithoutBlocking)
{
    OrvaneFrm window(Edition::Lite);
    window.show();
    auto *omni = window.findChild<QSlider *>("Slider1");
    omni->setMaximum(101);
    omni->setValue(101);
    QTest::keyClick(window.findChild<QSlider *>("Slider2"), Qt::Key_Up);
    auto *box = window.findChild<QMessageBox *>("ErrorBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().contains("Floating-point")) << box->text().toStdString();
    EXPECT_EQ(window.findChild<QLabel *>("dbfig8")->text(), "-40.0864274753527");
}

} // namespace
} // namespace orvane::testing
