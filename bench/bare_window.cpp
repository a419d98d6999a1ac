// The yardstick for start-up time and memory: an empty Qt window of Orvane's
// size, built with the same flags.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare window");
    window.resize(720, 534);
    window.show();
    return QApplication::exec();
}
