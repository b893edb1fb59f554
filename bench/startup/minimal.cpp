// The smallest Qt Widgets program with a main window, the yardstick for start-up times.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(900, 700);
    window.show();
    return QApplication::exec();
}
