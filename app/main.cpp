#include "app/CBrellowApp.h"
#include "engine/FileIo.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    brellow::InstallTemporaryFileCleanup();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brellow"));
    QApplication::setOrganizationName(QStringLiteral("Korvell"));
    // The installed desktop entry's id: the desktop shows its name and icon for our windows.
    QApplication::setDesktopFileName(QStringLiteral("com.korvell.Brellow"));
    CBrellowApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}
