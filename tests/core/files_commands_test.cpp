// Open, Save, Save as and the save prompt on real files through the scripted platform.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/files_fixture.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

const std::u16string kSaveFailed = u"文件保存失败！";

struct FilesTest : ::testing::Test {
    TempFolder dir;
    Editor e;

    // Opens `path` through F2, answering the dialog with it.
    void open(const std::string& path) {
        e.fake.files.push_back(u16(path));
        e.form.Fopen();
    }
};

TEST_F(FilesTest, OpenEditSaveAndReopenGiveTheSameBytes) {
    const ByteVector original = pattern(1300, 1);
    writeBytes(dir.file("a.bin"), original);
    open(dir.file("a.bin"));
    ASSERT_EQ(e.form.FileBytes, original);
    EXPECT_EQ(e.form.FileName, u16(dir.file("a.bin")));
    EXPECT_EQ(e.form.LastOffset, 1299);
    EXPECT_EQ(e.form.LastPage, 2);
    EXPECT_EQ(e.form.TailCount, 1300 % 512);
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:1,300( &H514) 总页数:3 当前页:1");
    EXPECT_TRUE(e.fake.messages.empty());

    // An edit in the document, then F3: written at once, no dialog.
    e.form.FileBytes[0] ^= 0xFF;
    e.form.FileBytes[1299] = 0x41;
    e.form.Dirty = kTrue;
    ByteVector edited = e.form.FileBytes;
    const auto dialogs = e.fake.fileDialogs.size();
    ASSERT_TRUE(e.form.Fsave());
    EXPECT_EQ(e.fake.fileDialogs.size(), dialogs);
    EXPECT_EQ(e.form.Dirty, kFalse);
    EXPECT_EQ(readBytes(dir.file("a.bin")), edited);

    // Reopened, the document is what was saved.
    Editor again;
    again.fake.files.push_back(u16(dir.file("a.bin")));
    again.form.Fopen();
    EXPECT_EQ(again.form.FileBytes, edited);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.bin"}); // nothing left beside it
}

TEST_F(FilesTest, SavingAShorterDocumentLeavesExactlyItsLength) {
    writeBytes(dir.file("a.bin"), pattern(5000, 2));
    open(dir.file("a.bin"));
    const ByteVector shorter(e.form.FileBytes.begin(), e.form.FileBytes.begin() + 700);
    e.load(shorter);
    ASSERT_TRUE(e.form.Fsave());
    EXPECT_EQ(readBytes(dir.file("a.bin")), shorter);
}

TEST_F(FilesTest, CaptionsAndDialogSettingsOfEachCommand) {
    writeBytes(dir.file("a.bin"), pattern(10, 3));
    const auto captionsAtStart = e.fake.captions.size();

    // Save of a new document asks with the open form, titled and flagged for saving.
    e.fake.files.push_back(u16(dir.file("new.bin")));
    ASSERT_TRUE(e.form.Fsave());
    ASSERT_EQ(e.fake.fileDialogs.size(), 1u);
    EXPECT_FALSE(e.fake.fileDialogs[0].saveForm);
    EXPECT_EQ(e.fake.fileDialogs[0].settings.DialogTitle, u"保存");
    EXPECT_EQ(e.fake.fileDialogs[0].settings.Flags, 0x802);
    EXPECT_EQ(e.fake.fileDialogs[0].settings.Filter, u"所有文件(*.*)|*.*");
    EXPECT_EQ(e.form.FileName, u16(dir.file("new.bin")));
    EXPECT_EQ(readBytes(dir.file("new.bin")), ByteVector(512, 0));
    EXPECT_EQ(e.fake.captions.size(), captionsAtStart); // Save leaves the caption

    open(dir.file("a.bin"));
    EXPECT_FALSE(e.fake.fileDialogs[1].saveForm);
    EXPECT_EQ(e.fake.fileDialogs[1].settings.DialogTitle, u"打开");
    EXPECT_EQ(e.fake.fileDialogs[1].settings.Filter, u"所有文件(*.*)|*.*");
    // The dialog offers the name the last use chose.
    EXPECT_EQ(e.fake.fileDialogs[1].settings.FileName, u16(dir.file("new.bin")));
    EXPECT_EQ(e.form.Caption, u"正在编辑：" + u16(dir.file("a.bin")));

    e.fake.files.push_back(u16(dir.file("b.bin")));
    ASSERT_TRUE(e.form.FsaveAs());
    EXPECT_TRUE(e.fake.fileDialogs[2].saveForm);
    EXPECT_EQ(e.fake.fileDialogs[2].settings.DialogTitle, u"另存为");
    EXPECT_EQ(e.fake.fileDialogs[2].settings.Flags, 0x200A);
    EXPECT_EQ(e.form.Caption, u"正在编辑 " + u16(dir.file("b.bin")));
    EXPECT_EQ(readBytes(dir.file("b.bin")), pattern(10, 3));

    // After Save as, Save writes to the new name without asking or retitling.
    e.form.FileBytes[0] = 0x99;
    const auto captions = e.fake.captions.size();
    ASSERT_TRUE(e.form.Fsave());
    EXPECT_EQ(e.fake.fileDialogs.size(), 3u);
    EXPECT_EQ(readBytes(dir.file("b.bin"))[0], 0x99);
    EXPECT_EQ(readBytes(dir.file("a.bin")), pattern(10, 3));
    EXPECT_EQ(e.fake.captions.size(), captions);
    EXPECT_TRUE(e.fake.messages.empty());
}

TEST_F(FilesTest, CancelledNameDialogsWriteNothing) {
    e.form.Dirty = kTrue;
    e.fake.files.push_back(u"");
    EXPECT_FALSE(e.form.Fsave());
    e.fake.files.push_back(u"");
    EXPECT_FALSE(e.form.FsaveAs());
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_TRUE(e.form.FileName.empty());
    EXPECT_EQ(e.form.Caption, u"Quillory");
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(FilesTest, CancelledOpenSaysNoSuchFile) {
    e.fake.files.push_back(u"");
    e.form.Fopen();
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].text, u"无此文件");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
    EXPECT_EQ(e.form.FileBytes, ByteVector(512, 0));
}

TEST_F(FilesTest, OpenShowsTheFirstPageAndForgetsTheOldDocumentsRecords) {
    e.load(pattern(4000, 4));
    e.form.VscrollBar.setValue(5);
    ASSERT_EQ(e.form.CurPage, 5);
    e.form.NumberBox.setSelected(7, true);
    e.form.SelStart = 3;
    e.form.SelSpan = 9;
    e.form.PickCount = 1;
    e.form.FindLast = 2;
    e.form.CutAt = 4;
    e.form.InsertAt = 5;
    e.form.SwapFrom = 6;
    e.form.Dirty = kFalse;

    writeBytes(dir.file("a.bin"), pattern(600, 5));
    open(dir.file("a.bin"));
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.PageStart, 0);
    EXPECT_EQ(e.form.VscrollBar.value(), 0);
    EXPECT_EQ(e.form.VscrollBar.max(), 1);
    const std::uint8_t first = pattern(600, 5)[0];
    EXPECT_EQ(e.hex(0),
              (std::u16string{u"0123456789ABCDEF"[first >> 4], u"0123456789ABCDEF"[first & 15]}));
    for (int k = 0; k < 512; ++k) {
        ASSERT_FALSE(e.form.NumberBox.selected(k)) << k;
        ASSERT_FALSE(e.form.ChrBox.selected(k)) << k;
    }
    for (std::int32_t v : {e.form.SelStart, e.form.SelSpan, e.form.FindLast, e.form.CutAt,
                           e.form.InsertAt, e.form.SwapFrom})
        EXPECT_EQ(v, kNone);
    EXPECT_EQ(e.form.PickCount, 0);
    EXPECT_EQ(e.form.Dirty, kFalse);
}

TEST_F(FilesTest, OpensTheLargestDocumentWhole) {
    {
        std::ofstream out(dir.file("big.bin"), std::ios::binary);
        out.seekp(kMaxDocument - 1);
        out.put('\x5A');
    }
    open(dir.file("big.bin"));
    ASSERT_EQ(e.form.FileBytes.size(), static_cast<std::size_t>(kMaxDocument));
    EXPECT_EQ(e.form.FileBytes.back(), 0x5A);
    EXPECT_EQ(e.form.LastPage, 32767);
    EXPECT_EQ(e.form.VscrollBar.max(), 32767);
}

// Each way an Open can fail once a name was chosen: everything stays as it was, silently.
struct OpenFailure {
    const char* name;
    void (*make)(const TempFolder& dir, std::string& path);
};

class OpenFailureTest : public FilesTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, KeepsEverythingAsItWas) {
    writeBytes(dir.file("old.bin"), pattern(2000, 6));
    open(dir.file("old.bin"));
    e.form.VscrollBar.setValue(2);
    e.form.FileBytes[1] = 0xEE;
    e.form.Dirty = kTrue;
    const ByteVector bytes = e.form.FileBytes;
    const auto capacity = e.form.FileBytes.capacity();
    const std::u16string status = e.form.StateBar.displayText();
    const std::u16string hex = e.hex(0);

    std::string path;
    GetParam().make(dir, path);
    e.fake.answers.push_back(Answer::No); // the save prompt
    open(path);

    EXPECT_EQ(e.form.FileBytes, bytes);
    EXPECT_EQ(e.form.FileBytes.capacity(), capacity);
    EXPECT_EQ(e.form.FileName, u16(dir.file("old.bin")));
    EXPECT_EQ(e.form.Caption, u"正在编辑：" + u16(dir.file("old.bin")));
    EXPECT_EQ(e.form.LastOffset, 1999);
    EXPECT_EQ(e.form.LastPage, 3);
    EXPECT_EQ(e.form.CurPage, 2);
    EXPECT_EQ(e.form.PageStart, 1024);
    EXPECT_EQ(e.form.VscrollBar.value(), 2);
    EXPECT_EQ(e.form.StateBar.displayText(), status);
    EXPECT_EQ(e.hex(0), hex);
    EXPECT_EQ(e.form.Dirty, kTrue);
    ASSERT_EQ(e.fake.messages.size(), 1u); // the save prompt, and nothing after it
    EXPECT_EQ(e.fake.messages[0].title, u"提示保存");
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenFailureTest,
    ::testing::Values(
        OpenFailure{"MissingFile",
                    [](const TempFolder& d, std::string& p) { p = d.file("missing.bin"); }},
        OpenFailure{"Folder", [](const TempFolder& d, std::string& p) { p = d.path(); }},
        OpenFailure{"EmptyFile",
                    [](const TempFolder& d, std::string& p) {
                        p = d.file("empty.bin");
                        writeBytes(p, {});
                    }},
        OpenFailure{"OneByteOverTheLimit",
                    [](const TempFolder& d, std::string& p) {
                        p = d.file("huge.bin");
                        std::ofstream out(p, std::ios::binary);
                        out.seekp(kMaxDocument);
                        out.put('\x01');
                    }},
        OpenFailure{"PathThroughAFile",
                    [](const TempFolder& d, std::string& p) { p = d.file("old.bin") + "/x"; }},
        OpenFailure{"NamedPipe",
                    [](const TempFolder& d, std::string& p) {
                        p = d.file("pipe");
                        ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
                    }}),
    [](const ::testing::TestParamInfo<OpenFailure>& info) { return info.param.name; });

// The save prompt before New, Open and closing the window, with each reply.
enum class Source { New, Open, Close };
enum class Reply { Cancel, No, YesSaved, YesNameCancelled, YesWriteFailed };

struct PromptCase {
    const char* name;
    Source source;
    Reply reply;
};

class SavePromptTest : public FilesTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(SavePromptTest, GoesOnOnlyAfterNoOrASave) {
    const PromptCase& c = GetParam();
    const ByteVector document = pattern(900, 7);
    e.load(document);
    e.form.Dirty = kTrue;
    writeBytes(dir.file("other.bin"), pattern(30, 8));

    switch (c.reply) {
    case Reply::Cancel:
        e.fake.answers.push_back(Answer::Cancel);
        break;
    case Reply::No:
        e.fake.answers.push_back(Answer::No);
        break;
    case Reply::YesSaved:
        e.fake.answers.push_back(Answer::Yes);
        e.fake.files.push_back(u16(dir.file("saved.bin")));
        break;
    case Reply::YesNameCancelled:
        e.fake.answers.push_back(Answer::Yes);
        e.fake.files.push_back(u"");
        break;
    case Reply::YesWriteFailed:
        e.fake.answers.push_back(Answer::Yes);
        e.fake.files.push_back(u16(dir.file("no-such-folder/saved.bin")));
        break;
    }
    bool closed = false;
    switch (c.source) {
    case Source::New:
        e.form.Fnew();
        break;
    case Source::Open:
        open(dir.file("other.bin"));
        break;
    case Source::Close:
        closed = !e.form.Form_QueryUnload();
        break;
    }

    ASSERT_GE(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].text, u"文件已经修改，是否保存？");
    EXPECT_EQ(e.fake.messages[0].title, u"提示保存");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(e.fake.answers.size(), 0u);

    const bool goesOn = c.reply == Reply::No || c.reply == Reply::YesSaved;
    if (c.reply == Reply::YesSaved) {
        EXPECT_EQ(readBytes(dir.file("saved.bin")), document);
    } else {
        EXPECT_FALSE(std::filesystem::exists(dir.file("saved.bin")));
    }
    if (c.reply == Reply::YesWriteFailed) {
        ASSERT_EQ(e.fake.messages.size(), 2u);
        EXPECT_EQ(e.fake.messages[1].text, kSaveFailed);
    } else {
        EXPECT_EQ(e.fake.messages.size(), 1u);
    }

    if (goesOn) {
        switch (c.source) {
        case Source::New:
            EXPECT_EQ(e.form.FileBytes, ByteVector(512, 0));
            EXPECT_TRUE(e.form.FileName.empty());
            break;
        case Source::Open:
            EXPECT_EQ(e.form.FileBytes, pattern(30, 8));
            break;
        case Source::Close:
            EXPECT_TRUE(closed);
            EXPECT_EQ(e.fake.form2Unloads, 1);
            break;
        }
        // Closing after No leaves the document as it was: modified.
        EXPECT_EQ(e.form.Dirty, c.source == Source::Close && c.reply == Reply::No ? kTrue : kFalse);
    } else {
        EXPECT_EQ(e.form.FileBytes, document);
        EXPECT_EQ(e.form.Dirty, kTrue);
        EXPECT_FALSE(closed);
        EXPECT_EQ(e.fake.form2Unloads, 0);
        // Cancel shows no dialog; a Yes that saved nothing shows only the name dialog.
        EXPECT_EQ(e.fake.fileDialogs.size(), c.reply == Reply::Cancel ? 0u : 1u);
    }
}

std::vector<PromptCase> promptCases() {
    const std::pair<Source, const char*> sources[] = {
        {Source::New, "New"}, {Source::Open, "Open"}, {Source::Close, "Close"}};
    const std::pair<Reply, const char*> replies[] = {{Reply::Cancel, "Cancel"},
                                                     {Reply::No, "No"},
                                                     {Reply::YesSaved, "YesSaved"},
                                                     {Reply::YesNameCancelled, "YesNameCancelled"},
                                                     {Reply::YesWriteFailed, "YesWriteFailed"}};
    static std::vector<std::string> names;
    std::vector<PromptCase> cases;
    names.reserve(15);
    for (const auto& [source, sourceName] : sources)
        for (const auto& [reply, replyName] : replies) {
            names.push_back(std::string(sourceName) + "_" + replyName);
            cases.push_back({names.back().c_str(), source, reply});
        }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, SavePromptTest, ::testing::ValuesIn(promptCases()),
                         [](const ::testing::TestParamInfo<PromptCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(FilesTest, NoPromptForAnUnmodifiedDocument) {
    EXPECT_FALSE(e.form.Form_QueryUnload());
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_EQ(e.fake.form2Unloads, 1);
}

} // namespace
} // namespace quillory::testing
