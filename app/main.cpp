#include "app/CBrellowApp.h"
#include "engine/FileIo.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    brellow::InstallTemporaryFileCleanup();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brellow"));
    QApplication::setOrganizationName(QStringLiteral("Korvell"));
    CBrellowApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    return QApplication::exec();
}
