#include "app/CBrellowApp.h"
#include "engine/FileIo.h"

#include <QApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    brellow::InstallTemporaryFileCleanup();
    if (const auto status = CBrellowApp::RunWithoutApplication(argc, argv, std::cout, std::cerr)) {
        return *status;
    }
    // Printing from the command line shows no window, so it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        CBrellowApp::RunsWithoutWindow(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brellow"));
    QApplication::setOrganizationName(QStringLiteral("Korvell"));
    // The installed desktop entry's id: the desktop shows its name and icon for our windows.
    QApplication::setDesktopFileName(QStringLiteral("com.korvell.Brellow"));
    const QStringList arguments = QApplication::arguments().mid(1);
    if (const auto status = CBrellowApp::RunWithoutWindow(arguments, std::cout, std::cerr)) {
        return *status;
    }
    CBrellowApp app;
    if (!app.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
