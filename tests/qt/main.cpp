// The Qt tests run on one QApplication, on the offscreen platform unless the
// environment names another (Xvfb for screenshots).
#include <gtest/gtest.h>

#include <QApplication>

namespace {

// The offscreen platform says so each time a window is raised; that is noise here.
QtMessageHandler previous = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (previous) previous(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    previous = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("TavoTests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
