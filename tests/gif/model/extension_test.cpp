#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/test_util.h"

using namespace gif;
using giftest::Bytes;
using giftest::WarningLog;

namespace {

struct FrameFixture : ::testing::Test {
    TGIFImage image;
    TGIFSubImage* frame = nullptr;
    WarningLog log;
    void SetUp() override {
        log.Attach(image);
        frame = &giftest::AddFrame(image, 0, 0, 2, 2);
    }
    // Loads `bytes` as the frame's extension list and returns the stream position after it.
    int64_t LoadBlocks(const std::vector<uint8_t>& bytes) {
        TMemoryStream in(bytes);
        frame->Blocks().LoadFromStream(in, frame);
        return in.Position();
    }
    std::vector<uint8_t> SaveBlocks() {
        TMemoryStream out;
        frame->Blocks().SaveToStream(out);
        return out.Bytes();
    }
};

std::vector<uint8_t> AppBlock(const char* id, std::vector<std::vector<uint8_t>> subBlocks) {
    std::vector<uint8_t> out = {0x21, 0xFF, 11};
    for (int i = 0; i < 11; ++i) out.push_back(uint8_t(id[i]));
    for (auto& b : subBlocks) {
        out.push_back(uint8_t(b.size()));
        out.insert(out.end(), b.begin(), b.end());
    }
    out.push_back(0);
    return out;
}

} // namespace

using CommentBlocks = FrameFixture;

TEST_F(CommentBlocks, LongLineIsSplitInto255ByteSubBlocks) {
    auto comment = std::make_unique<TGIFCommentExtension>(frame);
    comment->CommentLines().push_back(std::string(300, 'x'));
    comment->CommentLines().push_back("");
    frame->Blocks().Add(std::move(comment));

    std::vector<uint8_t> bytes = SaveBlocks();
    ASSERT_EQ(bytes.size(), 2u + 1 + 255 + 1 + 45 + 1);
    EXPECT_EQ(bytes[0], 0x21);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes[2], 255);
    EXPECT_EQ(bytes[2 + 256], 45);
    EXPECT_EQ(bytes.back(), 0);

    frame->Blocks().DeleteAll();
    bytes.push_back(0x2C);
    EXPECT_EQ(LoadBlocks(bytes), int64_t(bytes.size()) - 1);   // stops in front of the image
    ASSERT_EQ(frame->Blocks().ItemCount(), 1);
    auto* loaded = dynamic_cast<TGIFCommentExtension*>(frame->Blocks().Extensions(0));
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->CommentLines().size(), 2u);   // the empty line is gone
    EXPECT_EQ(loaded->CommentLines()[0], std::string(255, 'x'));
    EXPECT_EQ(loaded->CommentLines()[1], std::string(45, 'x'));
}

TEST_F(CommentBlocks, SubBlockIsCutAtZeroByteAndShortDataFails) {
    LoadBlocks(Bytes({0x21, 0xFE, 4, 'a', 'b', 0, 'c', 2, 'd', 'e', 0}));
    auto* comment = dynamic_cast<TGIFCommentExtension*>(frame->Blocks().Extensions(0));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->CommentLines(), (TLineList{"ab", "de"}));

    frame->Blocks().DeleteAll();
    EXPECT_THROW(LoadBlocks(Bytes({0x21, 0xFE, 10, 'a', 'b'})), GIFException);
    EXPECT_EQ(frame->Blocks().ItemCount(), 0);
}

TEST_F(CommentBlocks, PlainTextRoundTrip) {
    auto text = std::make_unique<TGIFTextExtension>(frame);
    text->GridLeft = 300;
    text->GridHeight = 7;
    text->CellWidth = 8;
    text->TextBackgroundIndex = 3;
    text->TextLines() = {"hello"};
    frame->Blocks().Add(std::move(text));
    std::vector<uint8_t> bytes = SaveBlocks();
    EXPECT_EQ(bytes, Bytes({0x21, 0x01, 12, 44, 1, 0, 0, 0, 0, 7, 0, 8, 0, 0, 3, 5, 'h', 'e', 'l',
                            'l', 'o', 0}));
    frame->Blocks().DeleteAll();
    LoadBlocks(bytes);
    auto* loaded = dynamic_cast<TGIFTextExtension*>(frame->Blocks().Extensions(0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GridLeft, 300);
    EXPECT_EQ(loaded->TextLines(), (TLineList{"hello"}));
    EXPECT_EQ(SaveBlocks(), bytes);
}

using ApplicationBlocks = FrameFixture;

TEST_F(ApplicationBlocks, UnknownBlockSurvivesByteForByte) {
    std::vector<uint8_t> bytes =
        AppBlock("XMP DataXMP", {{1, 2, 3}, std::vector<uint8_t>(255, 7), {0, 0}});
    LoadBlocks(bytes);
    ASSERT_EQ(frame->Blocks().ItemCount(), 1);
    auto* unknown = dynamic_cast<TGIFUnknownAppExtension*>(frame->Blocks().Extensions(0));
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->DataBlocks.size(), 3u);
    EXPECT_EQ(SaveBlocks(), bytes);
}

TEST_F(ApplicationBlocks, UnknownBlockWhoseDataLooksLikeAnIdentifierStaysUnknown) {
    // The first data sub-block is 11 bytes spelling a registered identifier.
    std::vector<uint8_t> id(std::begin("NETSCAPE2.0"), std::end("NETSCAPE2.0") - 1);
    std::vector<uint8_t> bytes = AppBlock("MYAPPLIC1.0", {id, {1, 5, 0}});
    LoadBlocks(bytes);
    ASSERT_NE(dynamic_cast<TGIFUnknownAppExtension*>(frame->Blocks().Extensions(0)), nullptr);
    EXPECT_EQ(SaveBlocks(), bytes);
}

TEST_F(ApplicationBlocks, LoopingBlocksWithAndWithoutBufferSize) {
    std::vector<uint8_t> plain = AppBlock("NETSCAPE2.0", {{1, 5, 0}});
    std::vector<uint8_t> buffered = AppBlock("ANIMEXTS1.0", {{1, 0, 0}, {2, 0x10, 0x20, 0, 0}});
    std::vector<uint8_t> both = plain;
    both.insert(both.end(), buffered.begin(), buffered.end());
    LoadBlocks(both);
    ASSERT_EQ(frame->Blocks().ItemCount(), 2);
    auto* first = dynamic_cast<TGIFAppExtNSLoop*>(frame->Blocks().Extensions(0));
    auto* second = dynamic_cast<TGIFAppExtNSLoop*>(frame->Blocks().Extensions(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->LoopCount, 5);
    EXPECT_EQ(first->BufferSize, 0u);
    EXPECT_EQ(second->LoopCount, 0);
    EXPECT_EQ(second->BufferSize, 0x2010u);
    EXPECT_EQ(SaveBlocks(), both);
}

TEST_F(ApplicationBlocks, NewLoopBlockIsNetscape) {
    auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
    loop->LoopCount = 2;
    frame->Blocks().Add(std::move(loop));
    EXPECT_EQ(SaveBlocks(), AppBlock("NETSCAPE2.0", {{1, 2, 0}}));
}

TEST_F(ApplicationBlocks, LoopSubBlockTooShortIsInvalid) {
    EXPECT_THROW(LoadBlocks(AppBlock("NETSCAPE2.0", {{1, 5}})), GIFException);
    EXPECT_THROW(LoadBlocks(AppBlock("NETSCAPE2.0", {{2, 5, 0, 0}})), GIFException);
    // Unknown sub-block identifiers are skipped.
    frame->Blocks().DeleteAll();
    LoadBlocks(AppBlock("NETSCAPE2.0", {{7, 1, 2, 3}, {1, 9, 0, 42}}));
    EXPECT_EQ(dynamic_cast<TGIFAppExtNSLoop*>(frame->Blocks().Extensions(0))->LoopCount, 9);
}

TEST_F(ApplicationBlocks, TenByteIdentifierIsWrittenBackAsEleven) {
    std::vector<uint8_t> bytes = {0x21, 0xFF, 10, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2',
                                  2, 9, 9, 0};
    LoadBlocks(bytes);
    auto* unknown = dynamic_cast<TGIFUnknownAppExtension*>(frame->Blocks().Extensions(0));
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->AppIdentifier[10], 0);
    std::vector<uint8_t> expected = {0x21, 0xFF, 11, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2',
                                     0, 2, 9, 9, 0};
    EXPECT_EQ(SaveBlocks(), expected);
}

TEST_F(ApplicationBlocks, SizeErrors) {
    EXPECT_THROW(
        {
            try {
                LoadBlocks(Bytes({0x21, 0xFF, 3, 'a', 'b', 'c', 0}));
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Unsupported Application Extension block size");
                throw;
            }
        },
        GIFException);
    // A longer identifier block keeps its first 11 bytes.
    frame->Blocks().DeleteAll();
    std::vector<uint8_t> longer = {0x21, 0xFF, 12};
    for (char c : std::string("NETSCAPE2.0X")) longer.push_back(uint8_t(c));
    longer.insert(longer.end(), {3, 1, 4, 0, 0});
    LoadBlocks(longer);
    auto* block = dynamic_cast<TGIFApplicationExtension*>(frame->Blocks().Extensions(0));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->AppIdentifier, MakeAppIdentifier("NETSCAPE2.0"));
}

using ExtensionList = FrameFixture;

TEST_F(ExtensionList, UnknownLabelAndBadIntroducer) {
    EXPECT_THROW(
        {
            try {
                LoadBlocks(Bytes({0x21, 0x42, 0}));
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Unknown extension type");
                throw;
            }
        },
        GIFException);

    // A stray byte ends the list with a warning and is read next.
    EXPECT_EQ(LoadBlocks(Bytes({0x21, 0xFE, 1, 'a', 0, 0x77})), 5);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Invalid extension introducer"}));
    EXPECT_EQ(log.Entries[0].Sender, "TGIFExtensionList");
}

TEST_F(ExtensionList, ResolveLeavesStreamInPlace) {
    TMemoryStream in(AppBlock("NETSCAPE2.0", {{1, 0, 0}}));
    in.SetPosition(1);
    EXPECT_EQ(ResolveExtensionClass(in), &TGIFAppExtNSLoop::Class);
    EXPECT_EQ(in.Position(), 1);
    TMemoryStream gce(Bytes({0x21, 0xF9, 4, 0, 0, 0, 0, 0}));
    gce.SetPosition(1);
    EXPECT_EQ(ResolveExtensionClass(gce), &TGIFGraphicControlExtension::Class);
    TMemoryStream empty;
    EXPECT_EQ(ResolveExtensionClass(empty), nullptr);
}

TEST_F(ExtensionList, BlockReaderChecksIntroducerAndLabel) {
    TGIFCommentExtension comment(frame);
    TMemoryStream wrongIntroducer(Bytes({0x20, 0xFE, 0}));
    EXPECT_THROW(comment.LoadFromStream(wrongIntroducer), GIFException);
    TMemoryStream wrongLabel(Bytes({0x21, 0xF9, 0}));
    try {
        comment.LoadFromStream(wrongLabel);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Internal error: Extension Instance does not match Extension Label");
    }
}

using GraphicControl = FrameFixture;

TEST_F(GraphicControl, FieldsAndByteFormat) {
    frame->LocalTable().AppendColor(clBlack);
    frame->LocalTable().AppendColor(clWhite);
    auto owned = std::make_unique<TGIFGraphicControlExtension>(frame);
    TGIFGraphicControlExtension* gce = owned.get();
    frame->Blocks().Add(std::move(owned));
    EXPECT_EQ(frame->ControlBlock(), gce);
    gce->SetDisposalCode(3);
    gce->SetUserInputFlag(true);
    gce->SetDelayTime(0x1234);
    gce->SetTransparentFlag(true);
    gce->SetTransparentIndex(1);
    EXPECT_TRUE(frame->IsTransparent());
    EXPECT_EQ(gce->DisposalCode(), 3);
    gce->SetDisposalCode(9);   // masked to three bits, other bits kept
    EXPECT_EQ(gce->DisposalCode(), 1);
    EXPECT_TRUE(gce->UserInputFlag());
    EXPECT_EQ(SaveBlocks(), Bytes({0x21, 0xF9, 4, 0x07, 0x34, 0x12, 1, 0}));

    gce->SetTransparentIndex(2);   // outside the 2-entry table
    EXPECT_EQ(gce->TransparentIndex(), 0);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Invalid color index"}));
    gce->SetTransparentColorValue(RGB(1, 2, 3));
    EXPECT_EQ(gce->TransparentIndex(), 2);
    EXPECT_EQ(frame->LocalTable().EntryCount(), 3);
}

TEST_F(GraphicControl, FirstBlockIsControlBlockAndAnyTransparencyCounts) {
    LoadBlocks(Bytes({0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x21, 0xF9, 4, 1, 0, 0, 3, 0}));
    ASSERT_EQ(frame->Blocks().ItemCount(), 2);
    EXPECT_EQ(frame->ControlBlock(), frame->Blocks().Extensions(0));
    EXPECT_TRUE(frame->IsTransparent());
}

TEST_F(GraphicControl, DestroyingClearsTransparencyAndControlBlock) {
    LoadBlocks(Bytes({0x21, 0xF9, 4, 1, 0, 0, 3, 0}));
    ASSERT_TRUE(frame->IsTransparent());
    ASSERT_NE(frame->ControlBlock(), nullptr);
    frame->Blocks().DeleteAt(0);
    EXPECT_FALSE(frame->IsTransparent());
    EXPECT_EQ(frame->ControlBlock(), nullptr);
}

TEST_F(GraphicControl, ShortBlockWarns) {
    LoadBlocks(Bytes({0x21, 0xF9, 4, 1, 0}));
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Premature end of data"}));
    EXPECT_FALSE(frame->IsTransparent());
    EXPECT_EQ(frame->Blocks().ItemCount(), 1);
}
