// Whole-file access: links, permissions and owners keep their shape across a save.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include <gtest/gtest.h>

#include "core/files_fixture.h"
#include "files/FileIo.h"
#include "support/Editor.h"

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

std::string linkText(const std::string& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

// A symbolic link, in each form a user meets, stays the same link; the file at its end
// takes the bytes.
struct LinkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links; // name, text of the link
    std::string saveThrough;
    std::string holder; // the file that must hold the bytes
    bool holderExists;
};

class SymlinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(SymlinkTest, StaysALinkAndItsFileGetsTheBytes) {
    const LinkCase& c = GetParam();
    TempFolder dir;
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
    if (c.holderExists) writeBytes(dir.file(c.holder), pattern(100, 1));
    for (const auto& [name, text] : c.links) {
        const std::string target = text[0] == '@' ? dir.file(text.substr(1)) : text;
        ASSERT_EQ(::symlink(target.c_str(), dir.file(name).c_str()), 0);
    }
    std::vector<std::string> before;
    for (const auto& [name, text] : c.links)
        before.push_back(linkText(dir.file(name)));
    std::vector<std::string> namesBefore = allNames(dir.path());

    ASSERT_TRUE(save(dir.file(c.saveThrough), pattern(300, 2))) << std::strerror(errno);
    EXPECT_EQ(readBytes(dir.file(c.holder)), pattern(300, 2));
    for (std::size_t i = 0; i < c.links.size(); ++i) {
        struct stat st {};
        ASSERT_EQ(::lstat(dir.file(c.links[i].first).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.links[i].first;
        EXPECT_EQ(linkText(dir.file(c.links[i].first)), before[i]);
    }
    // Only the names there were, plus the file a dangling link now leads to.
    if (!c.holderExists) {
        namesBefore.push_back(c.holder);
        std::sort(namesBefore.begin(), namesBefore.end());
    }
    EXPECT_EQ(allNames(dir.path()), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    FileIo, SymlinkTest,
    ::testing::Values(
        LinkCase{"Absolute", {{"link", "@file"}}, "link", "file", true},
        LinkCase{"Relative", {{"link", "sub/file"}}, "link", "sub/file", true},
        LinkCase{"RelativeUpward", {{"sub/link", "../file"}}, "sub/link", "file", true},
        LinkCase{"Chain", {{"first", "second"}, {"second", "sub/file"}}, "first", "sub/file", true},
        LinkCase{"Dangling", {{"link", "sub/new"}}, "link", "sub/new", false}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return info.param.name; });

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
    for (mode_t mode : {0600u, 0640u, 0755u, 0444u}) {
        writeBytes(dir.file("f"), pattern(10, 1));
        ASSERT_EQ(::chmod(dir.file("f").c_str(), mode), 0);
        if (mode == 0444u && ::geteuid() != 0) {
            EXPECT_FALSE(save(dir.file("f"), pattern(20, 2)));
            EXPECT_EQ(readBytes(dir.file("f")), pattern(10, 1));
            continue;
        }
        ASSERT_TRUE(save(dir.file("f"), pattern(20, 2)));
        EXPECT_EQ(statOf(dir.file("f")).st_mode & 07777, mode);
    }
}

TEST(FileIo, ANewFileGetsTheUsualModeLessTheUmask) {
    TempFolder dir;
    for (mode_t mask : {022u, 077u, 0u}) {
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
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{10000, old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const ByteVector bytes = pattern(25000, 1);
    const bool written = writeAll(fd, bytes.data(), bytes.size());
    const int error = errno;
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    ::close(fd);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
    // The first write was cut short at the limit; the loop went on and met the error.
    EXPECT_EQ(readBytes(dir.file("f")), ByteVector(bytes.begin(), bytes.begin() + 10000));
}

TEST(FileIo, FileLength) {
    TempFolder dir;
    writeBytes(dir.file("f"), pattern(1300, 1));
    EXPECT_EQ(fileLength(dir.file("f")), 1300);
    EXPECT_EQ(fileLength(dir.file("missing")), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(fileLength(dir.path()), -1);
    EXPECT_EQ(errno, EISDIR);
}

TEST(FileIo, NativePathIsUtf8) {
    EXPECT_EQ(nativePath(u"/tmp/文件.bin"), "/tmp/\xE6\x96\x87\xE4\xBB\xB6.bin");
    EXPECT_EQ(nativePath(u"a\U0001F600"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(nativePath(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

// Through the editor: a document opened through a link is saved through it.
TEST(FileIo, EditorSavesThroughTheLinkItOpened) {
    TempFolder dir;
    writeBytes(dir.file("real.bin"), pattern(700, 1));
    ASSERT_EQ(::symlink("real.bin", dir.file("link.bin").c_str()), 0);
    Editor e;
    e.fake.files.push_back(u16(dir.file("link.bin")));
    e.form.Fopen();
    ASSERT_EQ(e.form.FileBytes, pattern(700, 1));
    e.form.FileBytes[5] = 0;
    ASSERT_TRUE(e.form.Fsave());
    EXPECT_EQ(linkText(dir.file("link.bin")), "real.bin");
    EXPECT_EQ(readBytes(dir.file("real.bin")), e.form.FileBytes);
}

} // namespace
} // namespace quillory::testing
