// Runs the dialog tests on the offscreen platform with settings in a folder of their own.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir sandbox;
    qputenv("XDG_CONFIG_HOME", sandbox.filePath("config").toUtf8());
    qputenv("XDG_CACHE_HOME", sandbox.filePath("cache").toUtf8());
    qputenv("TMPDIR", sandbox.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
