// Runs the GUI tests on Qt's offscreen platform with settings in a temporary folder, so
// no test reads or writes the settings of the person running them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

namespace {

// A modal dialog nobody drives would hang the run; after a while it is rejected and the
// running test fails instead.
void StartModalWatchdog() {
    // The timer belongs to the application and the state to the connection, so both go
    // when the application does.
    auto* const watchdog = new QTimer(qApp);
    QObject::connect(watchdog, &QTimer::timeout, qApp,
                     [seen = QPointer<QWidget>(), since = QElapsedTimer()]() mutable {
                         QWidget* const modal = QApplication::activeModalWidget();
                         if (modal != seen) {
                             seen = modal;
                             since.start();
                             return;
                         }
                         if (modal && since.elapsed() > 10000) {
                             ADD_FAILURE() << "an undriven modal dialog was left open: "
                                           << modal->windowTitle().toStdString();
                             modal->close();
                             seen = nullptr;
                         }
                     });
    watchdog->start(500);
}

// The offscreen platform warns about every top-level window it cannot size.
QtMessageHandler g_standardHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    g_standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    QDir(home.path()).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QDir(home.path()).mkpath(QStringLiteral("runtime"));
        const QString runtime = home.filePath(QStringLiteral("runtime"));
        QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    g_standardHandler = qInstallMessageHandler(FilterMessages);
    QApplication application(argc, argv);
    // Tests close main windows; that must not end the event loops of later tests.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    StartModalWatchdog();
    return RUN_ALL_TESTS();
}
