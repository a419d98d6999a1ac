// The yardstick for start-up time and memory: a Qt window of Orvane's size
// with one label, built with the same flags. The label makes it lay out and
// draw text, as any window with a word in it does; a window with none would
// leave the font and text-shaping libraries untouched, and so measure a
// program that no user would start.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare window");
    window.resize(720, 534);
    QLabel label("Bare window", &window);
    label.move(10, 10);
    window.show();
    return QApplication::exec();
}
