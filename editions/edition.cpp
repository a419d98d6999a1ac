#include "editions/edition.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <QApplication>

#include "editions/command_line.h"
#include "editions/display_guard.h"
#include "editions/window_watch.h"
#include "window/main_window.h"

namespace orvane {

namespace {

// Prints what --help or --version asked for; a failed write is an error too
// (Orvane --version >/dev/full).
int Print(const char *name, const std::string &text)
{
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s: cannot write to standard output: %s\n", name, std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace

int RunEdition(int argc, char **argv, Edition edition)
{
    const char *name = HasProbe(edition) ? "Orvane" : "OrvaneLite";
    std::string command = argc > 0 && argv[0] && argv[0][0] ? argv[0] : name;

    const CommandLine line = ReadCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
        return Print(name, UsageText(name, command));
    case CommandLine::Action::Version:
        return Print(name, std::string(name) + " " + ORVANE_VERSION + "\n");
    case CommandLine::Action::Details:
        return Print(name, DetailsTable(line.omni, line.fig8));
    case CommandLine::Action::Refuse:
        if (!line.problem.empty())
            std::fprintf(stderr, "%s: %s\n", name, line.problem.c_str());
        else
            std::fprintf(stderr, "%s: unknown argument \"%s\"; see --help for the ones there are\n", name,
                         line.refused.c_str());
        return 2;
    case CommandLine::Action::Run:
        break;
    }

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
    WindowWatch watch(&window);
    app.installNativeEventFilter(&watch);
    window.show();
    return QApplication::exec();
}

} // namespace orvane
