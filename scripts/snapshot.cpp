// Renders both editions to PNG files, as the README shows them: the "Super Card"
// pattern with the probe at 45 degrees in the full edition.
// Usage: orvane-snapshot [--lang CODE] FULL.png LITE.png   (QT_QPA_PLATFORM=offscreen works)
#include <cstdio>
#include <string_view>

#include <QAbstractSlider>
#include <QApplication>
#include <QPushButton>

#include "pattern/translation.h"
#include "window/main_window.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc == 5 && std::string_view(argv[1]) == "--lang" && orvane::FindLanguage(argv[2])) {
        orvane::SetLanguage(*orvane::FindLanguage(argv[2]));
        argv += 2;
        argc -= 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s [--lang CODE] FULL.png LITE.png\n", argv[0]);
        return 2;
    }
    for (const auto edition : {orvane::Edition::Full, orvane::Edition::Lite}) {
        orvane::OrvaneFrm window(edition);
        window.show();
        window.findChild<QPushButton *>("Command3")->click();
        if (auto *angle = window.findChild<QAbstractSlider *>("Slider3"))
            angle->setSliderPosition(45);
        const char *path = argv[edition == orvane::Edition::Full ? 1 : 2];
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path);
            return 1;
        }
    }
    return 0;
}
