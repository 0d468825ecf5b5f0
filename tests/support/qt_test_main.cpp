// Test main for suites that drive real widgets: always on Qt's offscreen platform,
// with one QApplication for the whole run.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// The offscreen screen is 800 x 600 unless told otherwise; the tests get a common desktop
// size (1920 x 1200 at 96 dpi) so that the editor's 800 x 600 window fits as on a desktop.
QByteArray offscreen_with_desktop_screen() {
    const QString path = QDir::temp().filePath(
        QStringLiteral("morvane_offscreen_screen_%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return "offscreen";
    file.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1200,)"
               R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    return "offscreen:configfile=" + path.toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", offscreen_with_desktop_screen());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    QFile::remove(QDir::temp().filePath(
        QStringLiteral("morvane_offscreen_screen_%1.json").arg(QCoreApplication::applicationPid())));
    return result;
}
