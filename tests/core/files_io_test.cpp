// Whole-file access: links, permissions and owners keep their shape across a save.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "core/files_fixture.h"
#include "files/FileIo.h"

namespace quillory::testing {
namespace {

bool save(const std::string& path, const ByteVector& bytes) {
    return writeWholeFile(path, bytes.data(), bytes.size());
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Every name under a folder, as a relative path, sorted; links are not followed.
std::vector<std::string> allNames(const std::string& folder) {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        all.push_back(entry.path().lexically_relative(folder).string());
    std::sort(all.begin(), all.end());
    return all;
}

// A symbolic link stays the same link, and the file at its end takes the bytes; a
// relative link is read from its own folder, a link that leads nowhere yet makes the file.
TEST(FileIo, SymbolicLinksStayLinksAndTheirFileGetsTheBytes) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // name, text ('@': absolute)
        std::string saveThrough;
        std::string holder; // the file that must hold the bytes
    };
    const Case cases[] = {
        {"absolute", {{"link", "@file"}}, "link", "file"},
        {"relative upward", {{"sub/link", "../file"}}, "sub/link", "file"},
        {"chain", {{"first", "second"}, {"second", "sub/file"}}, "first", "sub/file"},
        {"dangling", {{"link", "sub/new"}}, "link", "sub/new"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
        const bool dangling = c.holder == "sub/new";
        if (!dangling) writeBytes(dir.file(c.holder), pattern(100, 1));
        auto target = [&dir](const std::string& text) {
            return text[0] == '@' ? dir.file(text.substr(1)) : text;
        };
        for (const auto& [name, text] : c.links)
            ASSERT_EQ(::symlink(target(text).c_str(), dir.file(name).c_str()), 0);
        std::vector<std::string> names = allNames(dir.path());
        if (dangling) names.push_back(c.holder);
        std::sort(names.begin(), names.end());

        ASSERT_TRUE(save(dir.file(c.saveThrough), pattern(300, 2))) << std::strerror(errno);
        EXPECT_EQ(readBytes(dir.file(c.holder)), pattern(300, 2));
        for (const auto& [name, text] : c.links)
            EXPECT_EQ(std::filesystem::read_symlink(dir.file(name)), target(text)) << name;
        EXPECT_EQ(allNames(dir.path()), names);
    }
}

TEST(FileIo, LinkLoopFails) {
    TempFolder dir;
    ASSERT_EQ(::symlink("b", dir.file("a").c_str()), 0);
    ASSERT_EQ(::symlink("a", dir.file("b").c_str()), 0);
    EXPECT_FALSE(save(dir.file("a"), pattern(10, 1)));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b"}));
}

// Both names of a file see the new bytes, longer or shorter, and stay one file.
TEST(FileIo, HardLinksStayJoined) {
    TempFolder dir;
    writeBytes(dir.file("a"), pattern(5000, 1));
    ASSERT_EQ(::link(dir.file("a").c_str(), dir.file("b").c_str()), 0);
    ASSERT_EQ(::chmod(dir.file("a").c_str(), 0640), 0);
    const ino_t inode = statOf(dir.file("a")).st_ino;
    for (std::size_t size : {9000u, 700u}) {
        ASSERT_TRUE(save(dir.file("b"), pattern(size, 2))) << std::strerror(errno);
        EXPECT_EQ(readBytes(dir.file("a")), pattern(size, 2));
        const struct stat st = statOf(dir.file("a"));
        EXPECT_EQ(st.st_ino, inode);
        EXPECT_EQ(st.st_nlink, 2u);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b"})); // no backup left
    }
}

TEST(FileIo, PermissionBitsAreKept) {
    TempFolder dir;
    for (mode_t mode : {0600u, 0755u}) {
        writeBytes(dir.file("f"), pattern(10, 1));
        ASSERT_EQ(::chmod(dir.file("f").c_str(), mode), 0);
        ASSERT_TRUE(save(dir.file("f"), pattern(20, 2)));
        EXPECT_EQ(statOf(dir.file("f")).st_mode & 07777, mode);
    }
}

TEST(FileIo, ANewFileGetsTheUsualModeLessTheUmask) {
    TempFolder dir;
    for (mode_t mask : {022u, 077u}) {
        const mode_t old = ::umask(mask);
        const std::string name = dir.file("new" + std::to_string(mask));
        const bool saved = save(name, pattern(10, 1));
        ::umask(old);
        ASSERT_TRUE(saved);
        EXPECT_EQ(statOf(name).st_mode & 07777, 0666u & ~mask) << mask;
    }
}

TEST(FileIo, OwnerIsKeptWhenRunningAsRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "changing a file's owner needs root";
    TempFolder dir;
    writeBytes(dir.file("f"), pattern(10, 1));
    ASSERT_EQ(::chown(dir.file("f").c_str(), 4321, 5432), 0);
    ASSERT_TRUE(save(dir.file("f"), pattern(20, 2)));
    const struct stat st = statOf(dir.file("f"));
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 5432u);
}

TEST(FileIo, WriteAllReportsAWriteCutShort) {
    TempFolder dir;
    const int fd = ::open(dir.file("f").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const ByteVector bytes = pattern(25000, 1);
    bool written;
    int error;
    {
        FileSizeLimit limit(10000);
        ASSERT_TRUE(limit.ok());
        written = writeAll(fd, bytes.data(), bytes.size());
        error = errno;
    }
    ::close(fd);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
    // The first write was cut short at the limit; the loop went on and met the error.
    EXPECT_EQ(readBytes(dir.file("f")), ByteVector(bytes.begin(), bytes.begin() + 10000));
}

TEST(FileIo, NativePathIsUtf8) {
    EXPECT_EQ(nativePath(u"/tmp/文件.bin"), "/tmp/\xE6\x96\x87\xE4\xBB\xB6.bin");
    EXPECT_EQ(nativePath(u"a\U0001F600"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(nativePath(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

} // namespace
} // namespace quillory::testing
