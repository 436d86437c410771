// Runs the editor's tests headless: an offscreen application, and settings and temporary
// files in a folder of the run's own that is removed at the end.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir sandbox;
    qputenv("XDG_CONFIG_HOME", sandbox.filePath("config").toUtf8());
    qputenv("TMPDIR", sandbox.filePath("tmp").toUtf8());
    QDir().mkpath(sandbox.filePath("config"));
    QDir().mkpath(sandbox.filePath("tmp"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
