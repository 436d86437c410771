// The typed settings: defaults, a round trip of every kind of value through the INI file,
// and files damaged by hand.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/core/ask.h"
#include "editor/core/messages.h"
#include "editor/core/settings.h"
#include "editor/support/scripted_prompter.h"

using namespace editor;
using namespace editortest;

TEST(Settings, LiveUnderXdgConfigHomeAndReadDefaultsWhenMissing) {
    Settings settings;
    EXPECT_TRUE(settings.FileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")))
        << settings.FileName().toStdString();
    EXPECT_TRUE(settings.FileName().endsWith("Quillmark Software/GIF Loopwright 3.0.ini"));
    QTemporaryDir dir;
    Settings fresh(dir.filePath("fresh.ini"));
    EXPECT_EQ(fresh.Value(keys::FrameSize), 160);
    EXPECT_EQ(fresh.Value(keys::DefaultDelay), 100);
    EXPECT_EQ(fresh.Value(keys::FrameTransparentColor), 0xFFFFFF);
    EXPECT_EQ(fresh.Value(keys::ThumbFilterType), 19);
    EXPECT_EQ(fresh.Value(keys::WindowState), "Normal");
    EXPECT_EQ(fresh.Value(keys::FrameWindowAlign), "Right");
    EXPECT_TRUE(fresh.Value(keys::InitialDir).endsWith("/Images"));
    EXPECT_TRUE(fresh.NumberedList(sections::RecentFiles).isEmpty());
}

TEST(Settings, EveryValueWrittenReadsBack) {
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.ini");
    {
        Settings settings(file);
        settings.SetValue(keys::FrameSize, 96);
        settings.SetValue(keys::MaxUndo, 7);
        settings.SetValue(keys::FrameWindowAlign, "Left");
        settings.SetValue(keys::InitialDir, "/home/someone/Pictures, with comma");
        settings.SetValue(keys::Compatibility, 6);
        settings.SetNumberedList(sections::RecentFiles, {"/a/x.gif", "", "/b/ü y.gif"});
        settings.SetToolbar("Frame", {12, 34, false});
        WriteSetting(settings, "Settings", "Custom", "text");
        settings.Sync();
    }
    Settings settings(file);
    EXPECT_EQ(settings.Value(keys::FrameSize), 96);
    EXPECT_EQ(settings.Value(keys::MaxUndo), 7);
    EXPECT_EQ(settings.Value(keys::FrameWindowAlign), "Left");
    EXPECT_EQ(settings.Value(keys::InitialDir), "/home/someone/Pictures, with comma");
    EXPECT_EQ(settings.Value(keys::Compatibility), 6);
    EXPECT_EQ(settings.NumberedList(sections::RecentFiles),
              (QStringList{"/a/x.gif", "", "/b/ü y.gif"}));
    const TToolbarPlacement toolbar = settings.Toolbar("Frame", {});
    EXPECT_EQ(toolbar.Left, 12);
    EXPECT_EQ(toolbar.Top, 34);
    EXPECT_FALSE(toolbar.Visible);
    EXPECT_EQ(ReadSetting(settings, "Settings", "Custom", QString()), "text");
    EXPECT_EQ(ReadSetting(settings, "Settings", "Missing", 42), 42);
    // A shorter list replaces the longer one entirely.
    settings.SetNumberedList(sections::RecentFiles, {"/only.gif"});
    EXPECT_EQ(settings.NumberedList(sections::RecentFiles), QStringList{"/only.gif"});
}

TEST(Settings, AHandDamagedFileReadsDefaults) {
    QTemporaryDir dir;
    const QString file = dir.filePath("damaged.ini");
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write("[Settings]\nFrameSize=large\nDefaultDelay=\nMaxUndo=1,2,3\nPaletteType=99999999999999\n"
              "\x01\x02garbage without equals\n[FormPos%2FMain\nWindowState=a,b\n"
              "[Settings%2FMRU]\nMRU0=@Variant(\\0\\0\\0\\x7f)\n");
    raw.close();
    Settings settings(file);
    EXPECT_EQ(settings.Value(keys::FrameSize), 160);
    EXPECT_EQ(settings.Value(keys::DefaultDelay), 100);
    EXPECT_EQ(settings.Value(keys::MaxUndo), 50);
    EXPECT_EQ(settings.Value(keys::PaletteType), 0);
    EXPECT_EQ(settings.Value(keys::WindowState), "Normal");
    EXPECT_LE(settings.NumberedList(sections::RecentFiles).size(), 1);
}

TEST(AskWithRemember, RememberedAnswersSkipTheQuestion) {
    QTemporaryDir dir;
    Settings settings(dir.filePath("ask.ini"));
    TScriptedPrompter prompter;
    prompter.Then(mrCancel, true).Then(mrNo, true);
    const auto ask = [&] {
        return AskWithRemember(prompter, settings, "Check?", msg::DoNotAskAgain, "Compatibility",
                               TButtons::YesNoCancel, TMessageKind::Information);
    };
    EXPECT_EQ(ask(), mrCancel);   // ticked, but Cancel is never remembered
    EXPECT_EQ(settings.Value(keys::Compatibility), 0);
    EXPECT_EQ(ask(), mrNo);
    EXPECT_EQ(settings.Value(keys::Compatibility), mrNo);
    EXPECT_EQ(ask(), mrNo);       // not asked again
    EXPECT_EQ(prompter.Asked.size(), 2u);
    EXPECT_EQ(prompter.Asked[0].CheckCaption, msg::DoNotAskAgain);
}

TEST(AskWithRemember, IncludeOrNewCaptionsAndChoices) {
    QTemporaryDir dir;
    Settings settings(dir.filePath("drop.ini"));
    TScriptedPrompter prompter;
    prompter.Then(mrYes).Then(mrNo).Then(mrCancel).Then(mrNo, true);
    EXPECT_EQ(AskIncludeOrNew(prompter, settings, msg::IncludeOrNew), TIncludeChoice::Include);
    EXPECT_EQ(prompter.Asked[0].ButtonCaptions, (QStringList{"&Include", "&Start New"}));
    EXPECT_EQ(prompter.Asked[0].CheckCaption, "Make this the &default");
    EXPECT_EQ(prompter.Asked[0].Kind, TMessageKind::Confirmation);
    EXPECT_EQ(AskIncludeOrNew(prompter, settings, msg::IncludeOrNew), TIncludeChoice::StartNew);
    EXPECT_EQ(AskIncludeOrNew(prompter, settings, msg::IncludeOrNew), TIncludeChoice::Cancel);
    EXPECT_EQ(AskIncludeOrNew(prompter, settings, msg::IncludeOrNew), TIncludeChoice::StartNew);
    EXPECT_EQ(AskIncludeOrNew(prompter, settings, msg::IncludeOrNew), TIncludeChoice::StartNew);
    EXPECT_EQ(prompter.Asked.size(), 4u);
}

// A hostile settings file: every number is read back within its range.
TEST(Settings, NumbersReadBackWithinTheirRanges) {
    QTemporaryDir dir;
    const QString file = dir.filePath("hostile.ini");
    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nFrameSize=2147483647\nDefaultDelay=-40\nDefaultNSLoop=99999999\n"
              "FrameWindowWidth=-2147483648\nFrameTransparentColor=-1\nMaxUndo=-3\n"
              "[FormPos]\nMain\\Width=100000\nMain\\Height=-5\nMain\\Left=2147483647\n");
    ini.close();
    Settings settings(file);
    EXPECT_EQ(settings.Value(keys::FrameSize), 160);
    EXPECT_EQ(settings.Value(keys::DefaultDelay), 0);
    EXPECT_EQ(settings.Value(keys::DefaultNSLoop), 65535);
    EXPECT_EQ(settings.Value(keys::FrameWindowWidth), 60);
    EXPECT_EQ(settings.Value(keys::FrameTransparentColor), 0);
    EXPECT_EQ(settings.Value(keys::MaxUndo), 0);
    EXPECT_EQ(settings.Value(keys::MainWidth), 100000);   // the screen limits it further
    EXPECT_EQ(settings.Value(keys::MainHeight), 100);
    EXPECT_EQ(settings.Value(keys::MainLeft), 100000);
    settings.SetValue(keys::FrameSize, 40);
    EXPECT_EQ(settings.Value(keys::FrameSize), 80);
    settings.SetValue(keys::FrameSize, 112);   // a menu size
    EXPECT_EQ(settings.Value(keys::FrameSize), 112);
}

// A settings file that is a pipe (or a folder) is neither read nor written: reading a pipe
// would block the start until something writes into it.
TEST(Settings, AStoreThatIsNotARegularFileIsLeftAlone) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString own = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quillmark Software";
    QDir().mkpath(own);
    const QString ownFile = own + "/GIF Loopwright 3.0.ini";
    ASSERT_FALSE(QFileInfo::exists(ownFile));
    ASSERT_EQ(::mkfifo(QFile::encodeName(ownFile).constData(), 0600), 0);
    auto opened = std::async(std::launch::async, [&] {
        Settings named(pipe);
        named.SetValue(keys::FrameSize, 96);
        named.Sync();
        Settings programs;
        programs.SetValue(keys::DefaultDelay, 7);
        programs.Sync();
        return named.Value(keys::FrameSize) * 1000 + programs.Value(keys::DefaultDelay);
    });
    const bool finished = opened.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!finished)   // a reader stuck on a pipe: give it an end so the test can go on
        for (const QString& fifo : {pipe, ownFile}) ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    ASSERT_TRUE(finished) << "opening the settings blocked on a pipe";
    EXPECT_EQ(opened.get(), 96007);
    EXPECT_FALSE(QFileInfo(pipe).isFile());   // still the pipe
    EXPECT_FALSE(QFileInfo(ownFile).isFile());
    QFile::remove(ownFile);
}
