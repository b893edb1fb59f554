// The smallest main window furnished like Brellow's first window: a menu bar, a toolbar, a
// status bar and an MDI area, with texts and no icons. Beside the bare window of
// minimal.cpp it shows what Qt itself spends on such a window (the font database, the
// widgets, the accessibility bridge), which no program built on it avoids.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    for (const char* title : {"&File", "&View", "&Help"}) {
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("&New"));
    }
    QToolBar* const toolBar = window.addToolBar(QStringLiteral("Toolbar"));
    for (int i = 0; i < 10; ++i) toolBar->addAction(QString::number(i));
    window.statusBar()->addWidget(new QLabel(QStringLiteral("Ready")), 1);
    window.setCentralWidget(new QMdiArea);
    window.resize(900, 700);
    window.show();
    return QApplication::exec();
}
