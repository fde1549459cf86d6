// Open, Save, Save as and the save prompt on real files through the scripted platform.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include <tuple>

#include <gtest/gtest.h>

#include "core/files_fixture.h"

namespace quillory::testing {
namespace {

struct FilesTest : ::testing::Test {
    TempFolder dir;
    Editor e;
};

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

    openFile(e, dir.file("a.bin"));
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
    e.fake.files = {u"", u""};
    EXPECT_FALSE(e.form.Fsave());
    EXPECT_FALSE(e.form.FsaveAs());
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_TRUE(e.form.FileName.empty());
    EXPECT_EQ(e.form.Caption, u"Quillory");
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(FilesTest, CancelledOpenSaysNoSuchFile) {
    openFile(e, "");
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].text, u"无此文件");
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);
    EXPECT_EQ(e.form.FileBytes, ByteVector(512, 0));
}

TEST_F(FilesTest, OpenShowsTheFirstPageAndForgetsTheOldDocumentsRecords) {
    e.load(pattern(4000, 4));
    e.form.VscrollBar.setValue(5);
    e.form.NumberBox.setSelected(7, true);
    e.form.ChrBox.setSelected(7, true);
    e.form.SelStart = 3;
    e.form.SelSpan = 9;
    e.form.PickCount = 1;
    e.form.FindLast = 2;
    e.form.CutAt = 4;
    e.form.InsertAt = 5;
    e.form.SwapFrom = 6;

    writeBytes(dir.file("a.bin"), pattern(600, 5));
    openFile(e, dir.file("a.bin"));
    EXPECT_EQ(e.form.FileBytes, pattern(600, 5));
    EXPECT_EQ(e.form.CurPage, 0);
    EXPECT_EQ(e.form.VscrollBar.value(), 0);
    EXPECT_FALSE(e.form.NumberBox.selected(7));
    EXPECT_FALSE(e.form.ChrBox.selected(7));
    for (std::int32_t v : {e.form.SelStart, e.form.SelSpan, e.form.FindLast, e.form.CutAt,
                           e.form.InsertAt, e.form.SwapFrom})
        EXPECT_EQ(v, kNone);
    EXPECT_EQ(e.form.PickCount, 0);
    EXPECT_EQ(e.form.Dirty, kFalse);
}

// 16 MiB exactly opens; one byte more is refused (below).
TEST_F(FilesTest, OpensTheLargestDocumentWhole) {
    {
        std::ofstream out(dir.file("big.bin"), std::ios::binary);
        out.seekp(kMaxDocument - 1);
        out.put('\x5A');
    }
    openFile(e, dir.file("big.bin"));
    ASSERT_EQ(e.form.FileBytes.size(), static_cast<std::size_t>(kMaxDocument));
    EXPECT_EQ(e.form.FileBytes.back(), 0x5A);
}

// Everything a failed Open must leave alone. The capacity shows that the file was not
// read into the document's own buffer.
auto openState(const Editor& e) {
    const Form1& f = e.form;
    return std::make_tuple(f.FileBytes, f.FileBytes.capacity(), f.FileName, f.Caption, f.LastOffset,
                           f.LastPage, f.CurPage, f.PageStart, f.VscrollBar.value(),
                           f.StateBar.displayText(), e.hex(0), f.Dirty);
}

// Each way an Open can fail once a name was chosen: everything stays as it was, silently.
TEST(OpenFailure, KeepsEverythingAsItWas) {
    struct Case {
        const char* name;
        std::string (*make)(const TempFolder& dir);
    };
    const Case cases[] = {
        {"missing file", [](const TempFolder& d) { return d.file("missing.bin"); }},
        {"folder", [](const TempFolder& d) { return d.path(); }},
        {"empty file",
         [](const TempFolder& d) {
             writeBytes(d.file("empty.bin"), {});
             return d.file("empty.bin");
         }},
        {"one byte over the limit",
         [](const TempFolder& d) {
             std::ofstream out(d.file("huge.bin"), std::ios::binary);
             out.seekp(kMaxDocument);
             out.put('\x01');
             return d.file("huge.bin");
         }},
        // Read without O_NONBLOCK, it would hang the editor.
        {"named pipe",
         [](const TempFolder& d) {
             if (::mkfifo(d.file("pipe").c_str(), 0600) != 0) ADD_FAILURE() << "mkfifo";
             return d.file("pipe");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        Editor e;
        writeBytes(dir.file("old.bin"), pattern(2000, 6));
        openFile(e, dir.file("old.bin"));
        e.form.VscrollBar.setValue(2);
        e.form.FileBytes[1] = 0xEE;
        e.form.Dirty = kTrue;
        const auto before = openState(e);

        e.fake.answers.push_back(Answer::No); // the save prompt
        openFile(e, c.make(dir));
        EXPECT_EQ(openState(e), before);
        EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{u"文件已经修改，是否保存？"});
    }
}

// The save prompt before New, Open and closing the window, with each reply: the command
// goes on only after No or a save that happened.
TEST(SavePrompt, GoesOnOnlyAfterNoOrASave) {
    enum Reply { Cancel, No, YesSaved, YesNameCancelled, YesWriteFailed };
    enum Source { New, Open, Close };
    for (Source source : {New, Open, Close})
        for (Reply reply : {Cancel, No, YesSaved, YesNameCancelled, YesWriteFailed}) {
            SCOPED_TRACE("source " + std::to_string(source) + ", reply " + std::to_string(reply));
            TempFolder dir;
            Editor e;
            const ByteVector document = pattern(900, 7);
            e.load(document);
            e.form.Dirty = kTrue;
            writeBytes(dir.file("other.bin"), pattern(30, 8));

            e.fake.answers.push_back(reply == Cancel ? Answer::Cancel
                                     : reply == No   ? Answer::No
                                                     : Answer::Yes);
            if (reply == YesSaved) e.fake.files.push_back(u16(dir.file("saved.bin")));
            if (reply == YesNameCancelled) e.fake.files.push_back(u"");
            if (reply == YesWriteFailed) e.fake.files.push_back(u16(dir.file("missing/saved.bin")));
            bool closed = false;
            if (source == New) e.form.Fnew();
            if (source == Open) openFile(e, dir.file("other.bin"));
            if (source == Close) closed = !e.form.Form_QueryUnload();

            std::vector<std::u16string> shown{u"文件已经修改，是否保存？"};
            if (reply == YesWriteFailed) shown.push_back(kSaveFailed);
            ASSERT_EQ(e.fake.messageTexts(), shown);
            EXPECT_EQ(e.fake.messages[0].title, u"提示保存");
            EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNoCancel);
            EXPECT_EQ(std::filesystem::exists(dir.file("saved.bin")), reply == YesSaved);
            if (reply == YesSaved) {
                EXPECT_EQ(readBytes(dir.file("saved.bin")), document);
            }

            const bool goesOn = reply == No || reply == YesSaved;
            // The name dialog of a Yes, then Open's own dialog if it goes on.
            EXPECT_EQ(e.fake.fileDialogs.size(),
                      (reply >= YesSaved ? 1u : 0u) + (goesOn && source == Open ? 1u : 0u));
            ByteVector after = document;
            if (goesOn && source == New) after = ByteVector(512, 0);
            if (goesOn && source == Open) after = pattern(30, 8);
            EXPECT_EQ(e.form.FileBytes, after);
            if (goesOn && source == New) {
                EXPECT_TRUE(e.form.FileName.empty());
            }
            EXPECT_EQ(closed, goesOn && source == Close);
            EXPECT_EQ(e.fake.form2Unloads, closed ? 1 : 0);
            // Closing after No leaves the document as it was: modified.
            const bool clean = goesOn && !(source == Close && reply == No);
            EXPECT_EQ(e.form.Dirty, clean ? kFalse : kTrue);
        }
}

// Another program wrote the file after it was opened: Save asks before its bytes are
// lost. No writes nothing, keeps the mark and stops the command that wanted the save;
// Yes writes, and the next save has nothing to ask.
TEST(ChangedOnDisk, SaveAsksBeforeOverwritingAnotherProgramsBytes) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        void (*change)(const std::string& path);
    };
    const Case cases[] = {
        {"grown", [](const std::string& p) { writeBytes(p, pattern(150, 2)); }},
        {"same length, later time",
         [](const std::string& p) {
             writeBytes(p, pattern(100, 2));
             const timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 60, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), later, 0), 0);
         }},
        {"replaced by a new file",
         [](const std::string& p) {
             writeBytes(p + ".new", pattern(100, 1));
             fs::rename(p + ".new", p);
             const timespec same[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
             ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), same, 0), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string path = dir.file("a.bin");
        writeBytes(path, pattern(100, 1));
        Editor e;
        openFile(e, path);
        e.form.FileBytes[0] ^= 0xFF;
        e.form.Dirty = kTrue;
        const ByteVector document = e.form.FileBytes;
        c.change(path);
        const ByteVector theirs = readBytes(path);

        e.fake.answers = {Answer::No};
        EXPECT_FALSE(e.form.Fsave());
        ASSERT_EQ(e.fake.messageTexts(),
                  std::vector<std::u16string>{u"文件已被其他程序修改，是否覆盖？"});
        EXPECT_EQ(e.fake.messages[0].buttons, Buttons::YesNo);
        EXPECT_EQ(readBytes(path), theirs);
        EXPECT_EQ(e.form.Dirty, kTrue);

        // Through the save prompt, No to the question is a save that did not happen.
        e.fake.answers = {Answer::Yes, Answer::No};
        e.form.Fnew();
        EXPECT_EQ(e.form.FileBytes, document);
        EXPECT_EQ(readBytes(path), theirs);

        e.fake.clearRecords();
        e.fake.answers = {Answer::Yes};
        EXPECT_TRUE(e.form.Fsave());
        EXPECT_EQ(readBytes(path), document);
        EXPECT_EQ(e.form.Dirty, kFalse);
        EXPECT_TRUE(e.form.Fsave());
        EXPECT_EQ(e.fake.messages.size(), 1u);
    }
}

TEST_F(FilesTest, NoPromptForAnUnmodifiedDocument) {
    EXPECT_FALSE(e.form.Form_QueryUnload());
    EXPECT_TRUE(e.fake.messages.empty());
    EXPECT_EQ(e.fake.form2Unloads, 1);
}

} // namespace
} // namespace quillory::testing
