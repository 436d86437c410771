// Runs the window tests headless: an offscreen QApplication, and settings and temporary
// files in a folder of the run's own that is removed at the end. A child process started
// by a test inherits the folders it was given instead.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::unique_ptr<QTemporaryDir> sandbox;
    if (qEnvironmentVariableIsEmpty("LOOPWRIGHT_TEST_CHILD")) {
        sandbox = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", sandbox->filePath("config").toUtf8());
        qputenv("TMPDIR", sandbox->filePath("tmp").toUtf8());
        QDir().mkpath(sandbox->filePath("config"));
        QDir().mkpath(sandbox->filePath("tmp"));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
