// Round trips of the document through its file: random edits made with the editor's
// own commands, a save, and the file read back. Then the same with a fault in the way
// of the save. Whatever happens, the file holds either the old bytes or the new ones,
// and the editor still holds the document.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "core/files_fixture.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

const std::u16string kSaveFailed = u"文件保存失败！";

using Rng = std::mt19937;

int below(Rng& rng, int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(rng);
}

// Hex digits as a user types them: either case, with spaces here and there.
std::u16string hexReply(const ByteVector& bytes, Rng& rng) {
    static const char16_t upper[] = u"0123456789ABCDEF";
    static const char16_t lower[] = u"0123456789abcdef";
    std::u16string text;
    for (std::uint8_t b : bytes) {
        const char16_t* digits = below(rng, 2) ? upper : lower;
        text += digits[b >> 4];
        text += digits[b & 15];
        if (below(rng, 3) == 0) text += u' ';
    }
    return text;
}

// Turns to a random page and clicks a random cell of it.
void clickSomewhere(Editor& e, Rng& rng) {
    e.form.VscrollBar.userChange(below(rng, e.form.LastPage + 1));
    e.form.NumberBox.userClick(below(rng, kPageSize));
}

// Edits with the commands a user has: insert typed digits, cut a byte or a range
// between two double clicks, undo, apply a key, and overwrite bytes in place as a
// replace does. The document never shrinks to nothing, which would start a new one.
void randomEdits(Editor& e, Rng& rng, int steps) {
    for (int s = 0; s < steps; ++s) {
        Form1& f = e.form;
        switch (below(rng, 6)) {
        case 0:
            clickSomewhere(e, rng);
            e.fake.prompts.push_back(hexReply(pattern(1 + below(rng, 700), rng()), rng));
            f.Insert(1);
            break;
        case 1:
            if (f.LastOffset < 1) break;
            clickSomewhere(e, rng);
            f.CopyOrCut(1);
            break;
        case 2: {
            if (f.LastOffset < 2 * kPageSize) break;
            f.VscrollBar.userChange(below(rng, f.LastPage + 1));
            f.NumberBox.userDblClick(below(rng, kPageSize));
            f.ChrBox.userDblClick(below(rng, kPageSize));
            f.CopyOrCut(1);
            break;
        }
        case 3:
            f.Quash();
            break;
        case 4: {
            std::u16string key;
            for (int k = below(rng, 10); k >= 0; --k)
                key += static_cast<char16_t>(u'!' + below(rng, 94));
            e.fake.inputs.push_back(key);
            f.Encrypt();
            break;
        }
        default:
            for (int k = 1 + below(rng, 8); k > 0; --k)
                f.FileBytes[static_cast<std::size_t>(below(rng, f.LastOffset + 1))] =
                    static_cast<std::uint8_t>(rng());
            f.Dirty = kTrue;
            break;
        }
        // A command refused before its prompt leaves the reply unused.
        e.fake.prompts.clear();
        e.fake.inputs.clear();
    }
    ASSERT_FALSE(e.form.FileName.empty());
}

// A file with random bytes and an editor that has opened it and edited it at random.
struct Edited {
    ByteVector old;
    Editor e;
};

void openAndEdit(Edited& d, const std::string& file, Rng& rng) {
    const std::size_t sizes[] = {1, 16, 511, 512, 513, 3000, 70000};
    d.old = pattern(sizes[below(rng, 7)] + static_cast<std::size_t>(below(rng, 3)), rng());
    writeBytes(file, d.old);
    d.e.fake.files.push_back(u16(file));
    d.e.form.Fopen();
    ASSERT_EQ(d.e.form.FileBytes, d.old);
    ASSERT_NO_FATAL_FAILURE(randomEdits(d.e, rng, 1 + below(rng, 12)));
    // One overwrite at the end, as a replace makes it: a key alone leaves the document
    // unmarked, and the edits before may have cancelled out.
    d.e.form.FileBytes[0] ^= 0x5A;
    d.e.form.Dirty = kTrue;
    ASSERT_NE(d.e.form.FileBytes, d.old);
    ASSERT_EQ(d.e.form.Dirty, kTrue);
    d.e.fake.messages.clear();
}

ByteVector reopen(const std::string& file) {
    Editor again;
    again.fake.files.push_back(u16(file));
    again.form.Fopen();
    return again.form.FileBytes;
}

// How the saved file is reached: its only name, a second hard link beside it (the
// file is then overwritten where it is), or a symbolic link to it.
enum class Naming { Plain, HardLinked, Symlinked };

const char* namingName(Naming n) {
    return n == Naming::Plain ? "plain" : n == Naming::HardLinked ? "hard-linked" : "symlinked";
}

TEST(SaveRoundTrip, RandomEditsSaveAndReopen) {
    for (unsigned seed = 1; seed <= 45; ++seed) {
        Rng rng(seed);
        const Naming naming = static_cast<Naming>(seed % 3);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + namingName(naming));
        TempFolder dir;
        const std::string real = dir.file("doc.bin");
        std::string opened = real;
        Edited d;
        writeBytes(real, {0});
        if (naming == Naming::HardLinked) {
            ASSERT_EQ(::link(real.c_str(), dir.file("twin.bin").c_str()), 0);
        }
        if (naming == Naming::Symlinked) {
            opened = dir.file("link.bin");
            ASSERT_EQ(::symlink("doc.bin", opened.c_str()), 0);
        }
        ASSERT_NO_FATAL_FAILURE(openAndEdit(d, opened, rng));
        const std::vector<std::string> names = dir.names();

        ASSERT_TRUE(d.e.form.Fsave());
        EXPECT_EQ(readBytes(real), d.e.form.FileBytes);
        EXPECT_EQ(reopen(opened), d.e.form.FileBytes);
        if (naming == Naming::HardLinked) {
            EXPECT_EQ(readBytes(dir.file("twin.bin")), d.e.form.FileBytes);
        }
        if (naming == Naming::Symlinked) {
            struct stat st {};
            ASSERT_EQ(::lstat(opened.c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
        }
        EXPECT_EQ(d.e.form.Dirty, kFalse);
        EXPECT_TRUE(d.e.fake.messages.empty());
        EXPECT_EQ(dir.names(), names);

        // Edited again and saved under a new name: both files hold what they should.
        const ByteVector first = d.e.form.FileBytes;
        randomEdits(d.e, rng, 3);
        d.e.form.FileBytes.push_back(0xA5);
        d.e.form.LastOffset = static_cast<std::int32_t>(d.e.form.FileBytes.size());
        d.e.form.LengthChanged = kTrue;
        d.e.form.Fcount();
        d.e.fake.files.push_back(u16(dir.file("copy.bin")));
        ASSERT_TRUE(d.e.form.FsaveAs());
        EXPECT_EQ(reopen(dir.file("copy.bin")), d.e.form.FileBytes);
        EXPECT_EQ(readBytes(real), first);
    }
}

// The file size limit stops any write past it: the save either fits and succeeds, or
// leaves the file as it was and says so.
TEST(SaveRoundTrip, WriteCutShortByTheFileSizeLimit) {
    int failed = 0;
    int saved = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        Rng rng(seed * 7919);
        const bool hardLinked = seed % 2 == 0;
        SCOPED_TRACE("seed " + std::to_string(seed) + (hardLinked ? ", hard-linked" : ""));
        TempFolder dir;
        const std::string file = dir.file("doc.bin");
        Edited d;
        writeBytes(file, {0});
        if (hardLinked) {
            ASSERT_EQ(::link(file.c_str(), dir.file("twin.bin").c_str()), 0);
        }
        ASSERT_NO_FATAL_FAILURE(openAndEdit(d, file, rng));
        const ByteVector now = d.e.form.FileBytes;
        const std::vector<std::string> names = dir.names();
        const std::size_t larger = std::max(d.old.size(), now.size());
        const auto limit = static_cast<rlim_t>(below(rng, static_cast<int>(2 * larger) + 1));

        bool ok;
        {
            FileSizeLimit fsize(limit);
            ASSERT_TRUE(fsize.ok());
            ok = d.e.form.Fsave();
        }

        const ByteVector onDisk = readBytes(file);
        if (ok) {
            ++saved;
            EXPECT_EQ(onDisk, now);
            EXPECT_EQ(d.e.form.Dirty, kFalse);
            EXPECT_TRUE(d.e.fake.messages.empty());
        } else {
            ++failed;
            EXPECT_EQ(onDisk, d.old);
            EXPECT_EQ(d.e.form.Dirty, kTrue);
            EXPECT_EQ(d.e.fake.messageTexts(), std::vector<std::u16string>{kSaveFailed});
        }
        if (hardLinked) {
            EXPECT_EQ(readBytes(dir.file("twin.bin")), onDisk);
        }
        // Bytes that fit are written; bytes that do not cannot be.
        if (now.size() > limit) {
            EXPECT_FALSE(ok);
        }
        if (larger <= limit) {
            EXPECT_TRUE(ok);
        }
        EXPECT_EQ(d.e.form.FileBytes, now);
        EXPECT_EQ(dir.names(), names);

        // Without the limit the same command saves.
        if (!ok) {
            EXPECT_TRUE(d.e.form.Fsave());
            EXPECT_EQ(reopen(file), now);
        }
    }
    // Both outcomes were seen, or the limits were not chosen well.
    EXPECT_GT(failed, 10);
    EXPECT_GT(saved, 10);
}

// The folder of the file disappears between open and save: deleted, or renamed with
// the file inside it.
TEST(SaveRoundTrip, TargetFolderGone) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        Rng rng(seed * 31);
        const bool renamed = seed % 2 == 0;
        SCOPED_TRACE("seed " + std::to_string(seed) + (renamed ? ", renamed" : ", removed"));
        TempFolder dir;
        ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
        const std::string file = dir.file("sub/doc.bin");
        Edited d;
        ASSERT_NO_FATAL_FAILURE(openAndEdit(d, file, rng));
        const ByteVector now = d.e.form.FileBytes;
        if (renamed)
            std::filesystem::rename(dir.file("sub"), dir.file("moved"));
        else
            std::filesystem::remove_all(dir.file("sub"));

        EXPECT_FALSE(d.e.form.Fsave());
        EXPECT_FALSE(std::filesystem::exists(dir.file("sub")));
        if (renamed) {
            EXPECT_EQ(readBytes(dir.file("moved/doc.bin")), d.old);
            EXPECT_EQ(namesIn(dir.file("moved")), std::vector<std::string>{"doc.bin"});
        }
        EXPECT_EQ(d.e.form.Dirty, kTrue);
        EXPECT_EQ(d.e.form.FileBytes, now);
        EXPECT_EQ(d.e.fake.messageTexts(), std::vector<std::u16string>{kSaveFailed});

        // The document is still there to be saved somewhere else.
        d.e.fake.files.push_back(u16(dir.file("elsewhere.bin")));
        EXPECT_TRUE(d.e.form.FsaveAs());
        EXPECT_EQ(reopen(dir.file("elsewhere.bin")), now);
    }
}

// The file is replaced by a folder between open and save: the folder and what it
// holds stay as they are.
TEST(SaveRoundTrip, TargetReplacedByAFolder) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        Rng rng(seed * 101);
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempFolder dir;
        const std::string file = dir.file("doc.bin");
        Edited d;
        ASSERT_NO_FATAL_FAILURE(openAndEdit(d, file, rng));
        const ByteVector now = d.e.form.FileBytes;
        ASSERT_EQ(::unlink(file.c_str()), 0);
        ASSERT_EQ(::mkdir(file.c_str(), 0755), 0);
        writeBytes(file + "/inside.bin", d.old);
        const std::vector<std::string> names = dir.names();

        EXPECT_FALSE(d.e.form.Fsave());
        EXPECT_TRUE(std::filesystem::is_directory(file));
        EXPECT_EQ(namesIn(file), std::vector<std::string>{"inside.bin"});
        EXPECT_EQ(readBytes(file + "/inside.bin"), d.old);
        EXPECT_EQ(dir.names(), names);
        EXPECT_EQ(d.e.form.Dirty, kTrue);
        EXPECT_EQ(d.e.form.FileBytes, now);
        EXPECT_EQ(d.e.fake.messageTexts(), std::vector<std::u16string>{kSaveFailed});

        d.e.fake.files.push_back(u16(dir.file("elsewhere.bin")));
        EXPECT_TRUE(d.e.form.FsaveAs());
        EXPECT_EQ(reopen(dir.file("elsewhere.bin")), now);
    }
}

} // namespace
} // namespace quillory::testing
