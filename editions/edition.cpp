#include "editions/edition.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "window/main_window.h"

namespace orvane {

int RunEdition(int argc, char **argv, Edition edition)
{
    const bool noDisplay = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
                           !std::getenv("QT_QPA_PLATFORM");
    if (noDisplay) {
        std::fprintf(stderr, "%s: no display found; run it on a virtual one with: xvfb-run -a %s\n",
                     argv[0], argv[0]);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvane");
    QApplication::setApplicationVersion(ORVANE_VERSION);
    QApplication::setOrganizationName("Orvane");
    QApplication::setOrganizationDomain("orvane.org");
    // The ids of the installed desktop entries, so that the desktop matches each
    // window to its entry and icon.
    QGuiApplication::setDesktopFileName(HasProbe(edition) ? "org.orvane.Orvane"
                                                          : "org.orvane.OrvaneLite");

    OrvaneFrm window(edition);
    window.show();
    return QApplication::exec();
}

} // namespace orvane
