// The editor's routines on animations: file kinds, the play-count convention, frame moves
// that keep the list in step, normalisation before saving, and the small helpers.
#include <gtest/gtest.h>

#include "editor/core/animation_routines.h"
#include "editor/core/file_kinds.h"
#include "editor/core/format.h"
#include "editor/core/frame_moves.h"
#include "editor/core/settings.h"
#include "editor/core/temp_files.h"
#include "editor/core/text_routines.h"
#include "editor/core/picture_routines.h"
#include "editor/undo/command.h"
#include "editor/undo/history.h"
#include "gif/graphics/bitmap.h"

#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include "editor/support/editor_test_util.h"
#include "editor/support/fake_frame_list.h"
#include "editor/support/scripted_prompter.h"
#include "gif/model/text_extensions.h"

using namespace editor;
using namespace editortest;
using gif::TGIFAppExtNSLoop;
using gif::TGIFGraphicControlExtension;

TEST(FileKinds, ByLowerCasedExtension) {
    const std::pair<const char*, int> cases[] = {
        {"a.gif", 0},   {"B.Gif", 0},     {"c.jpg", 1},      {"photo.JPEG", 20},
        {"d.bmp", 2},   {"e.png", 11},    {"f.tif", 15},     {"g.tiff", 20},
        {"v.avi", 18},  {"w.wpg", 17},    {"noext", 20},     {"dir.gif/file", 20},
        {"x.*", 20},    {"/a.b/c.PCX", 7}};
    for (const auto& [path, kind] : cases) EXPECT_EQ(FileKind(path), kind) << path;
}

TEST(SmallRoutines, KiloBytesStripExtensionAndNumbers) {
    EXPECT_EQ(KiloBytes(0), 1);
    EXPECT_EQ(KiloBytes(1024), 1);
    EXPECT_EQ(KiloBytes(1025), 1);
    EXPECT_EQ(KiloBytes(2048), 2);
    EXPECT_EQ(StripExtension("/tmp/a.b/c.gif"), "/tmp/a.b/c");
    EXPECT_EQ(StripExtension("plain"), "plain");
    EXPECT_TRUE(IsNumeric(" 1 2 "));
    EXPECT_FALSE(IsNumeric("   "));
    EXPECT_FALSE(IsNumeric("12a"));
    EXPECT_FALSE(IsNumeric("-1"));
    EXPECT_TRUE(IsYes("yEs"));
    EXPECT_FALSE(IsYes("Yes "));
    EXPECT_TRUE(IsValidIntegerEntry("32767", true));
    EXPECT_FALSE(IsValidIntegerEntry("32768", true));
    EXPECT_TRUE(IsValidIntegerEntry("0065535", false));
    EXPECT_FALSE(IsValidIntegerEntry("99999999999", false));
    EXPECT_EQ(CentreLeft(0, 100, 31), 34);
    EXPECT_EQ(CentreLeft(0, 10, 21), -5);   // -5.5 rounds toward zero
    EXPECT_EQ(Format("%s has %d frames (100%%)", QString("a.gif"), 3), "a.gif has 3 frames (100%)");
}

TEST(TempFiles, CreatedAtomicallyWithPrefixAndPrivate) {
    const QString a = MakeTempFile(GetTempFolder());
    const QString b = MakeTempFile(GetTempFolder());
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith("~GL"));
    EXPECT_TRUE(QFileInfo(a).isFile());
    EXPECT_EQ(QFileInfo(a).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    DeleteFileIfNamed(a);
    DeleteFileIfNamed(b);
    DeleteFileIfNamed("");
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_TRUE(MakeTempFile("/nonexistent-folder").isEmpty());
}

TEST(PlayCount, RoundTripsThroughTheStoredForm) {
    for (int n : {0, 1, 2, 5, 65535}) {
        auto image = MakeAnimation(2);
        AddLoopExtension(*image, 0, n);
        EXPECT_EQ(HasLoopExtension(*image), n != 1) << n;
        if (n == 5) {
            EXPECT_EQ(FindLoopExtension(*image->Frame(0))->LoopCount, 4);
        }
        // Written to a file and read back, the play count is the same.
        auto bytes = GifBytes(*image);
        gif::TGIFImage reread;
        gif::TMemoryStream stream(bytes);
        reread.LoadFromStream(stream);
        EXPECT_EQ(GetPlayCount(reread), n) << n;
    }
    auto image = MakeAnimation(1);
    FindLoopExtension(*image->Frame(0));
    AddLoopExtension(*image, 0, 1);
    AddLoopExtension(*image, 7, 3);   // no such frame
    EXPECT_FALSE(HasLoopExtension(*image));
}

TEST(PlayCount, StoredCountOf65535PlaysForEver) {
    auto image = MakeAnimation(2);
    AddLoopExtension(*image, 0, 3);
    FindLoopExtension(*image->Frame(0))->LoopCount = 65535;
    EXPECT_EQ(GetPlayCount(*image), 0);
    FindLoopExtension(*image->Frame(0))->LoopCount = 65534;
    EXPECT_EQ(GetPlayCount(*image), 65535);
}

TEST(TempFiles, UnusableFoldersAreSkippedNeverTheCurrentFolder) {
    QTemporaryDir dir;
    const QString file = dir.filePath("plain");
    QFile(file).open(QIODevice::WriteOnly);
    const QString missing = dir.filePath("missing");
    EXPECT_EQ(FirstUsableFolder({missing, file, "", dir.path()}), dir.path());
    EXPECT_TRUE(FirstUsableFolder({missing, file}).isEmpty());
    QString reason;
    EXPECT_TRUE(MakeTempFile(missing, TempPrefix, &reason).isEmpty());
    EXPECT_EQ(reason, "No such file or directory");

    // $TMPDIR naming a missing folder: the system folder, then the cache folder.
    const QByteArray tmpdir = qgetenv("TMPDIR"), cache = qgetenv("XDG_CACHE_HOME");
    qputenv("TMPDIR", missing.toUtf8());
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    EXPECT_EQ(TempFolderCandidates(), (QStringList{missing, "/tmp", dir.filePath("cache")}));
    EXPECT_EQ(GetTempFolder(), "/tmp");
    qputenv("TMPDIR", tmpdir);
    qputenv("XDG_CACHE_HOME", cache);
    EXPECT_EQ(GetTempFolder(), QDir::cleanPath(QString::fromLocal8Bit(tmpdir)));
}

TEST(TempFiles, SnapshotThatCannotBeWrittenLeavesNoFile) {
    auto image = MakeAnimation(3, 40, 30);
    TFakeFrameList list{3};
    TScriptedPrompter prompter;
    Settings settings;
    TEditContext context{*image, list, prompter, settings};
    const QStringList before = TempFiles();
    THistoryList history;
    {
        // A disk that takes no more than 16 bytes of any file, as a full one would.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full{16, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &full);
        EXPECT_THROW(history.Push(context, ckActiveAnimation, 8, -1, -1, 0, "x"), ECommandError);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(TempFiles(), before);
    EXPECT_EQ(prompter.BusyDepth, 0);
}

TEST(Pictures, ChangingTheAnimationToFitAPictureLosesNoPixel) {
    auto image = MakeAnimation(2, 160, 120);
    image->Frame(1)->Pixels()[160 * 119 + 159] = 2; // the last pixel
    const auto before = FrameColours(*image);
    gif::TBitmap wide(200, 100, gif::pf24bit);
    FitBitmapToAnimation(*image, wide, false);
    EXPECT_EQ(image->Width(), 200);
    EXPECT_EQ(image->Height(), 120);
    EXPECT_EQ(wide.Width(), 200);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(image->Frame(i)->FrameWidth(), 160);
        EXPECT_EQ(image->Frame(i)->FrameHeight(), 120);
    }
    EXPECT_EQ(image->Frame(1)->Pixels()[160 * 119 + 159], 2);
    EXPECT_EQ(FrameColours(*image), before);
    gif::TBitmap tall(100, 300, gif::pf24bit);
    FitBitmapToAnimation(*image, tall, true); // trimmed to the animation instead
    EXPECT_EQ(tall.Height(), 120);
    EXPECT_EQ(image->Height(), 120);
}

TEST(PlayCount, SetAddsOneWhenMissingAndChangesAnExistingOne) {
    auto image = MakeAnimation(2);
    EXPECT_FALSE(SetPlayCount(*image, 1));
    EXPECT_FALSE(HasLoopExtension(*image));
    EXPECT_FALSE(SetPlayCount(*image, 3));   // added, so false
    ASSERT_TRUE(HasLoopExtension(*image));
    EXPECT_EQ(FindLoopExtension(*image->Frame(0))->LoopCount, 2);
    EXPECT_TRUE(SetPlayCount(*image, 0));
    EXPECT_EQ(GetPlayCount(*image), 0);
    // The looping block is inserted in front of the frame's other blocks.
    EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(image->Frame(0)->Blocks().Extensions(0)), nullptr);
}

class FrameMoves : public ::testing::Test {
protected:
    void SetUp() override { image = MakeAnimation(4); }
    TEditContext Context() { return {*image, list, prompter, settings}; }

    std::unique_ptr<gif::TGIFImage> image;
    TFakeFrameList list{4};
    TScriptedPrompter prompter;
    Settings settings;
};

TEST_F(FrameMoves, MovingFrameZeroKeepsTheLoopBlockOnTheNewFirstFrame) {
    AddLoopExtension(*image, 0, 5);
    TEditContext context = Context();
    MoveFrameInImage(context, 0, 3);
    EXPECT_EQ(FrameColours(*image), (std::vector<int>{1, 2, 3, 0}));
    ASSERT_NE(FindLoopExtension(*image->Frame(0)), nullptr);
    EXPECT_EQ(FindLoopExtension(*image->Frame(0))->LoopCount, 4);
    EXPECT_EQ(FindLoopExtension(*image->Frame(3)), nullptr);
    EXPECT_EQ(list.Log, (QStringList{"move 0 3", "select 3"}));
    // And back to position 0.
    MoveFrameInImage(context, 3, 0);
    EXPECT_EQ(FrameColours(*image), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(GetPlayCount(*image), 5);
    EXPECT_EQ(FindLoopExtension(*image->Frame(1)), nullptr);
}

TEST_F(FrameMoves, AMoveOutsideTheListChangesNothingAndLosesNoLoopBlock) {
    AddLoopExtension(*image, 0, 0);
    TEditContext context = Context();
    MoveFrameInImage(context, -1, 2);
    MoveFrameInImage(context, 0, 9);
    EXPECT_EQ(FrameColours(*image), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(HasLoopExtension(*image));
}

TEST_F(FrameMoves, DeleteSelectsTheItemBeforeAndShowsIt) {
    TEditContext context = Context();
    EXPECT_TRUE(DeleteFrameAt(context, 2));
    EXPECT_EQ(FrameColours(*image), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(list.Log, (QStringList{"delete 2", "select 1", "show 1"}));
    list.Log.clear();
    EXPECT_TRUE(DeleteFrameAt(context, 0));
    EXPECT_EQ(list.Log, (QStringList{"delete 0", "select 0", "show 0"}));
    EXPECT_FALSE(DeleteFrameAt(context, 5));
}

TEST_F(FrameMoves, InsertFromFileRestoresAFrameWithItsOwnBlocksAndTable) {
    for (int c = 0; c < 2; ++c) image->Frame(1)->LocalTable().AppendColor(gif::RGB(9, 9, c));
    AddComment(*image->Frame(1), "second");
    const QString saved = MakeTempFile(GetTempFolder());
    image->SaveToFile(NativePath(saved));
    const auto before = GifBytes(*image);
    TEditContext context = Context();
    ASSERT_TRUE(DeleteFrameAt(context, 1));
    list.Log.clear();
    ASSERT_TRUE(InsertFrameFromFile(context, saved, 1));
    EXPECT_EQ(list.Log, (QStringList{"insert 1", "select 1"}));
    EXPECT_EQ(GifBytes(*image), before);
    EXPECT_EQ(prompter.BusyDepth, 0);
    // A file that is not there inserts nothing.
    EXPECT_FALSE(InsertFrameFromFile(context, saved + ".gone", 0));
    EXPECT_FALSE(InsertFrameFromFile(context, saved, 9));
    EXPECT_EQ(image->FrameCount(), 4);
    DeleteFileIfNamed(saved);
}

TEST(Normalise, KeepsTheLastControlBlockAndFillsZeroDelays) {
    auto image = MakeAnimation(2);
    gif::TGIFSubImage& frame = *image->Frame(1);
    for (int delay : {0, 7}) {
        auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
        control->SetDelayTime(uint16_t(delay));
        frame.Blocks().Add(std::move(control));
    }
    image->Frame(0)->ControlBlock()->SetDelayTime(0);
    NormaliseAnimation(*image, true, {250, 0});
    ASSERT_EQ(frame.Blocks().ItemCount(), 1);
    EXPECT_EQ(frame.ControlBlock(), frame.Blocks().Extensions(0));
    EXPECT_EQ(frame.ControlBlock()->DelayTime(), 7);
    EXPECT_EQ(image->Frame(0)->ControlBlock()->DelayTime(), 250);
}

TEST(Normalise, FrameWithoutControlBlockGetsOneAndTransparencyFollowsTheKeptBlock) {
    auto image = MakeAnimation(2);
    gif::TGIFSubImage& frame = *image->Frame(1);
    frame.Blocks().DeleteAt(0);
    NormaliseAnimation(*image, true, {});
    ASSERT_NE(frame.ControlBlock(), nullptr);
    EXPECT_EQ(frame.ControlBlock()->DelayTime(), 100);
    EXPECT_EQ(frame.ControlBlock()->DisposalCode(), gif::dmNoDisposal);
    // Two blocks: the earlier transparent one goes, the later opaque one decides.
    auto transparent = std::make_unique<TGIFGraphicControlExtension>(&frame);
    transparent->SetTransparentFlag(true);
    frame.Blocks().InsertAt(0, std::move(transparent));
    frame.SetControlBlock(static_cast<TGIFGraphicControlExtension*>(frame.Blocks().Extensions(0)));
    NormaliseAnimation(*image, true, {});
    EXPECT_FALSE(frame.IsTransparent());
    EXPECT_EQ(frame.Blocks().ItemCount(), 1);
}

TEST(Normalise, CompatibilityFixTouchesTransparentFullScreenLaterFramesOnly) {
    auto image = MakeAnimation(3);
    for (int i = 0; i < 3; ++i) image->Frame(i)->ControlBlock()->SetTransparentFlag(true);
    image->Frame(2)->SetPlacement(1, 0, 3, 3);   // not full screen
    NormaliseAnimation(*image, true, {});
    EXPECT_EQ(image->Frame(1)->ControlBlock()->DisposalCode(), gif::dmNone);
    NormaliseAnimation(*image, false, {});
    EXPECT_EQ(image->Frame(0)->ControlBlock()->DisposalCode(), gif::dmNone);
    EXPECT_EQ(image->Frame(1)->ControlBlock()->DisposalCode(), gif::dmBackground);
    EXPECT_EQ(image->Frame(2)->ControlBlock()->DisposalCode(), gif::dmNone);
}

TEST(Normalise, StrayLoopBlocksMoveToTheFirstFrame) {
    auto image = MakeAnimation(3);
    AddLoopExtension(*image, 2, 4);
    NormaliseAnimation(*image, true, {100, 7});
    EXPECT_EQ(FindLoopExtension(*image->Frame(2)), nullptr);
    EXPECT_EQ(GetPlayCount(*image), 7);
    // A first frame with its own looping block keeps its play count.
    AddLoopExtension(*image, 1, 2);
    SetPlayCount(*image, 3);
    NormaliseAnimation(*image, true, {100, 0});
    EXPECT_EQ(GetPlayCount(*image), 3);
    int loops = 0;
    for (int b = 0; b < image->Frame(0)->Blocks().ItemCount(); ++b)
        loops += dynamic_cast<TGIFAppExtNSLoop*>(image->Frame(0)->Blocks().Extensions(b)) != nullptr;
    EXPECT_EQ(loops, 1);
}

TEST(AnimationFacts, AnimationDelayAndSize) {
    auto image = MakeAnimation(3);
    EXPECT_TRUE(IsAnimation(*image));
    EXPECT_EQ(TotalDelay(*image), 60);
    image->Frame(0)->ControlBlock()->SetDelayTime(65535);
    EXPECT_EQ(TotalDelay(*image), uint16_t(65535 + 50));
    EXPECT_EQ(EncodedSize(*image), int64_t(GifBytes(*image).size()));
    auto single = MakeAnimation(1);
    EXPECT_FALSE(IsAnimation(*single));
    single->AddFrame(std::make_unique<gif::TGIFSubImage>(single.get()));   // empty frame
    EXPECT_FALSE(IsAnimation(*single));
}

TEST(NewFrames, PrepareAddsLoopControlAndSharesTheLocalTable) {
    gif::TGIFImage image;
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetPlacement(0, 0, 2, 1);
    frame->LocalTable().AppendColor(gif::RGB(1, 2, 3));
    frame->LocalTable().AppendColor(gif::RGB(4, 5, 6));
    frame->Pixels()[0] = 1;
    frame->Pixels()[1] = 1;
    gif::TGIFSubImage& ref = *frame;
    image.AddFrame(std::move(frame));
    PrepareNewFrame(ref, 0, 30);
    EXPECT_EQ(GetPlayCount(image), 0);
    EXPECT_EQ(ref.ControlBlock()->DelayTime(), 30);
    EXPECT_EQ(ref.ControlBlock()->DisposalCode(), gif::dmNoDisposal);
    // Sorted by use: the only used colour comes first, the unused one is dropped.
    ASSERT_EQ(image.GlobalColorMap().EntryCount(), 1);
    EXPECT_EQ(image.GlobalColorMap().Entries()[0], (gif::TGIFColor{4, 5, 6}));
    AddComment(ref, "one\r\ntwo");
    auto* comment = dynamic_cast<gif::TGIFCommentExtension*>(ref.Blocks().Extensions(2));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->CommentLines(), (gif::TLineList{"one", "two"}));
}
