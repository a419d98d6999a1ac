// Renders both editions to PNG files, as the README shows them: the "Super Card"
// pattern with the probe at 45 degrees in the full edition.
// Usage: orvane-snapshot FULL.png LITE.png   (QT_QPA_PLATFORM=offscreen works)
#include <cstdio>

#include <QAbstractSlider>
#include <QApplication>
#include <QPushButton>

#include "window/main_window.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FULL.png LITE.png\n", argv[0]);
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
