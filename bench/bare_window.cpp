// The yardstick for start-up time and memory: a Qt window of Orvane's size
// with one label, built with the same flags. The label makes it lay out and
// draw text, as any window with a word in it does; a window with none would
// leave the font and text-shaping libraries untouched, and so measure a
// program that no user would start.
//
// `bare_window LANGUAGE` writes the label in the script of a language whose
// window needs a CJK face (ja, ko, zh-CN), in the face Orvane takes for it:
// the yardstick for what that face alone costs any window that shows it.
#include <cstring>

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

namespace {

struct Script {
    const char *language;
    const char *label;
    const char *family;
};

constexpr Script kScripts[] = {
    {"ja", "空のウィンドウ", "Noto Sans CJK JP"},
    {"ko", "빈 창", "Noto Sans CJK KR"},
    {"zh-CN", "空窗口", "Noto Sans CJK SC"},
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare window");
    window.resize(720, 534);
    QLabel label("Bare window", &window);
    for (const Script &script : kScripts) {
        if (argc > 1 && std::strcmp(argv[1], script.language) == 0) {
            label.setText(QString::fromUtf8(script.label));
            QFont font = label.font();
            font.setFamilies({"Liberation Sans", script.family});
            label.setFont(font);
        }
    }
    label.move(10, 10);
    window.show();
    return QApplication::exec();
}
