// Saves through the editor with a fault in their way, on real files. Whatever happens,
// the file holds either the old bytes or the new ones, never anything else; a failed
// save says so, keeps the document and its mark, and leaves nothing beside the file.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "core/files_fixture.h"

namespace quillory::testing {
namespace {

namespace fs = std::filesystem;

// Opens `path`, which holds `old`, and puts `now` in its place as edits would.
void openAndChange(Editor& e, const std::string& path, const ByteVector& old,
                   const ByteVector& now) {
    openFile(e, path);
    ASSERT_EQ(e.form.FileBytes, old);
    e.load(now);
    e.form.Dirty = kTrue;
}

void expectFailedSave(const Editor& e, const ByteVector& now) {
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{kSaveFailed});
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.FileBytes, now);
}

// The size limit stops any write past it: the save either fits and succeeds, or fails
// and leaves the file as it was. The file is reached by its only name, through a second
// hard link (then overwritten in place, with a backup beside it) or through a symbolic
// link; the random sizes and limits let the backup, the new bytes, both or neither fit.
TEST(SaveRoundTrip, WriteCutShortByTheFileSizeLimit) {
    std::mt19937 rng(7919);
    auto below = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    const std::size_t sizes[] = {1, 511, 512, 513, 3000, 70000};
    const char* const namings[] = {"only name", "hard-linked", "symlinked"};
    int failed = 0;
    int saved = 0;
    for (int round = 0; round < 60; ++round) {
        const int naming = round % 3;
        SCOPED_TRACE("round " + std::to_string(round) + ", " + namings[naming]);
        TempFolder dir;
        const std::string real = dir.file("doc.bin");
        const std::string opened = naming == 2 ? dir.file("link.bin") : real;
        const ByteVector old = pattern(sizes[below(6)] + below(3), unsigned(rng()));
        const ByteVector now = pattern(sizes[below(6)] + below(3), unsigned(rng()));
        writeBytes(real, old);
        if (naming == 1) {
            ASSERT_EQ(::link(real.c_str(), dir.file("twin.bin").c_str()), 0);
        }
        if (naming == 2) {
            ASSERT_EQ(::symlink("doc.bin", opened.c_str()), 0);
        }
        Editor e;
        ASSERT_NO_FATAL_FAILURE(openAndChange(e, opened, old, now));
        const std::vector<std::string> names = dir.names();
        const std::size_t larger = std::max(old.size(), now.size());
        const auto limit = static_cast<rlim_t>(below(2 * larger + 1));

        bool ok;
        {
            FileSizeLimit fsize(limit);
            ASSERT_TRUE(fsize.ok());
            ok = e.form.Fsave();
        }
        // Bytes that fit are written; bytes that do not cannot be.
        EXPECT_TRUE(now.size() <= limit || !ok);
        EXPECT_TRUE(larger > limit || ok);
        EXPECT_EQ(readBytes(real), ok ? now : old);
        if (naming == 1) {
            EXPECT_EQ(readBytes(dir.file("twin.bin")), ok ? now : old);
        }
        EXPECT_EQ(fs::is_symlink(opened), naming == 2);
        EXPECT_EQ(dir.names(), names);
        if (ok) {
            ++saved;
            EXPECT_EQ(e.form.Dirty, kFalse);
            EXPECT_TRUE(e.fake.messages.empty());
        } else {
            ++failed;
            expectFailedSave(e, now);
            // Without the limit the same command saves.
            EXPECT_TRUE(e.form.Fsave());
            EXPECT_EQ(reopen(opened), now);
        }
    }
    // Both outcomes were seen, or the limits were not chosen well.
    EXPECT_GT(failed, 10);
    EXPECT_GT(saved, 10);
}

// Every name under a folder with what its files hold; folders hold "/".
std::map<std::string, ByteVector> tree(const std::string& folder) {
    std::map<std::string, ByteVector> all;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        all[entry.path().lexically_relative(folder).string()] =
            entry.is_directory() ? ByteVector{'/'} : readBytes(entry.path().string());
    return all;
}

// The place of the file changes between open and save (Save), or the user names one
// that cannot be written (Save as). The save fails and touches nothing; the document
// can still be saved elsewhere.
TEST(SaveRoundTrip, UnwritablePlaceTouchesNothing) {
    struct Case {
        const char* name;
        void (*change)(const TempFolder& dir);
        const char* saveAs; // nullptr: Save to the opened file
    };
    const Case cases[] = {
        {"folder removed", [](const TempFolder& d) { fs::remove_all(d.file("sub")); }, nullptr},
        {"folder renamed with the file in it",
         [](const TempFolder& d) { fs::rename(d.file("sub"), d.file("moved")); }, nullptr},
        {"file replaced by a folder",
         [](const TempFolder& d) {
             fs::remove(d.file("sub/doc.bin"));
             fs::create_directory(d.file("sub/doc.bin"));
             writeBytes(d.file("sub/doc.bin/inside.bin"), pattern(40, 9));
         },
         nullptr},
        {"save as into a missing folder", [](const TempFolder&) {}, "missing/new.bin"},
        {"save as through a file", [](const TempFolder&) {}, "sub/doc.bin/new.bin"},
        {"save as onto a folder", [](const TempFolder&) {}, "sub"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        fs::create_directory(dir.file("sub"));
        const ByteVector old = pattern(3000, 1);
        const ByteVector now = pattern(700, 2);
        writeBytes(dir.file("sub/doc.bin"), old);
        Editor e;
        ASSERT_NO_FATAL_FAILURE(openAndChange(e, dir.file("sub/doc.bin"), old, now));
        const std::u16string caption = e.form.Caption;
        c.change(dir);
        const auto before = tree(dir.path());

        if (c.saveAs) {
            e.fake.files.push_back(u16(dir.file(c.saveAs)));
            EXPECT_FALSE(e.form.FsaveAs());
        } else {
            EXPECT_FALSE(e.form.Fsave());
        }
        EXPECT_EQ(tree(dir.path()), before);
        EXPECT_EQ(e.form.Caption, caption);
        expectFailedSave(e, now);

        e.fake.files.push_back(u16(dir.file("elsewhere.bin")));
        EXPECT_TRUE(e.form.FsaveAs());
        EXPECT_EQ(reopen(dir.file("elsewhere.bin")), now);
    }
}

// Decided: a file the user may not write to is refused rather than replaced by the
// rename, which the folder's permissions alone would allow.
// Root may write to any file, so as root the save runs as an ordinary user.
TEST(SaveRoundTrip, ReadOnlyFileIsNotReplaced) {
    TempFolder dir;
    writeBytes(dir.file("ro.bin"), pattern(100, 1));
    ASSERT_EQ(::chmod(dir.file("ro.bin").c_str(), 0444), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(dir.file("ro.bin").c_str(), 65534, 65534), 0);
    }
    const bool refused = inChild(65534, 65534, [&] {
        Editor e;
        openFile(e, dir.file("ro.bin"));
        e.load(pattern(50, 2));
        e.form.Dirty = kTrue;
        return !e.form.Fsave() && e.form.Dirty == kTrue &&
               e.fake.messageTexts() == std::vector<std::u16string>{kSaveFailed};
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(readBytes(dir.file("ro.bin")), pattern(100, 1));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"ro.bin"});
}

} // namespace
} // namespace quillory::testing
