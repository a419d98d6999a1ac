#include "editions/edition.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>

#include "editions/command_line.h"
#include "editions/display_guard.h"
#include "editions/window_watch.h"
#include "pattern/translation.h"
#include "window/figure.h"
#include "window/main_window.h"

namespace orvane {

namespace {

// Prints what --help or --version asked for; a failed write is an error too
// (Orvane --version >/dev/full).
int Print(const char *name, const std::string &text)
{
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        //: On standard error. %1: the program's name; %2: the system's reason
        std::fprintf(stderr, "%s\n",
                     Format(Tr("command line", "%1: cannot write to standard output: %2"),
                            {name, std::strerror(errno)})
                         .c_str());
        return 1;
    }
    return 0;
}

// Writes the figure the command line asks for. It opens no window, so it
// needs no display: Qt draws on its offscreen platform, whatever the
// environment asks for.
int ExportFigure(const char *name, std::string command, const CommandLine &line, Edition edition)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No window, so Qt's notes on the session (no XDG_RUNTIME_DIR on a
    // server, say) are not the user's concern; its errors still go out, and
    // the figure's own faults come back from SaveFigure.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    int qtArgc = 1;
    char *qtArgv[] = {command.data(), nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    // With a pair, the pair's figure: its plot and its curve.
    const PatternState state = StartState(line);
    const QString separator = QString::fromUtf8(CurrentLanguage().decimalSeparator);
    const Figure figure = state.pair ? MakePairFigure(state, edition, separator) : MakeFigure(state, edition, separator);
    const QString error = SaveFigure(figure, QString::fromLocal8Bit(line.exportPath.c_str()), line.scale.value_or(1));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", name, error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

// The language of every text: --lang's, or the first of the system's that
// has a catalogue, in the order Qt reads them (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG); English otherwise. A --lang with no catalogue is said on one line.
void ChooseLanguageFor(const char *name, const CommandLine &line)
{
    if (!line.language.empty()) {
        if (const Language *language = FindLanguage(line.language)) {
            SetLanguage(*language);
            return;
        }
        SetLanguage(English());
        std::fprintf(stderr, "%s: no texts in \"%s\"; the window is in English\n", name,
                     ShownInput(line.language).c_str());
        return;
    }
    std::vector<std::string> preferred;
    for (const QString &code : QLocale::system().uiLanguages())
        preferred.push_back(code.toStdString());
    SetLanguage(ChooseLanguage(preferred));
}

} // namespace

int RunEdition(int argc, char **argv, Edition edition)
{
    const char *name = HasProbe(edition) ? "Orvane" : "OrvaneLite";
    std::string command = argc > 0 && argv[0] && argv[0][0] ? argv[0] : name;

    CommandLine line = ReadCommandLine(argc, argv);
    ChooseLanguageFor(name, line);
    // A refusal's message was written before the language was known: read
    // again, in the language chosen.
    if (line.action == CommandLine::Action::Refuse)
        line = ReadCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
        return Print(name, UsageText(name, command, HasProbe(edition)));
    case CommandLine::Action::Version:
        return Print(name, std::string(name) + " " + ORVANE_VERSION + "\n");
    case CommandLine::Action::Details: {
        // With --export the figure is written as well; the figures are printed
        // only once it has been, so a failed export is not mistaken for done.
        if (!line.exportPath.empty())
            if (const int status = ExportFigure(name, command, line, edition); status != 0)
                return status;
        const PatternState state = StartState(line);
        return Print(name, DetailsTable(state, edition));
    }
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "%s: %s\n", name, line.error.c_str());
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    if (!line.exportPath.empty())
        return ExportFigure(name, command, line, edition);

    // Qt gets the program's name alone: its own options (-reverse, -style,
    // -platform, ...) were refused above and must not reach it.
    int qtArgc = 1;
    char *qtArgv[] = {command.data(), nullptr};
    DisplayGuard guard(name, command);
    QApplication app(qtArgc, qtArgv);
    guard.Passed();
    QApplication::setApplicationName("Orvane");
    QApplication::setApplicationVersion(ORVANE_VERSION);
    QApplication::setOrganizationName("Orvane");
    QApplication::setOrganizationDomain("orvane.org");
    // The ids of the installed desktop entries, so that the desktop matches each
    // window to its entry and icon.
    QGuiApplication::setDesktopFileName(HasProbe(edition) ? "org.orvane.Orvane"
                                                          : "org.orvane.OrvaneLite");

    OrvaneFrm window(edition);
    if (SetsState(line))
        window.showState(StartState(line));
    WindowWatch watch(&window);
    app.installNativeEventFilter(&watch);
    window.show();
    return QApplication::exec();
}

} // namespace orvane
