// Whole-file access: links, permissions and owners keep their shape across a save.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// Where a rename cannot give the new file all the old one had, the file is overwritten
// where it is, and keeps its inode, owner, group and mode; its backup, beside it or in
// the temporary folder or in memory, is gone afterwards, and a write that fails puts the
// old bytes back. As root the saver is an ordinary user in a child process; otherwise
// the cases that need another owner are skipped.
TEST(FileIo, FilesARenameWouldChangeAreOverwrittenInPlace) {
    const bool root = ::geteuid() == 0;
    const uid_t user = root ? 65534 : ::geteuid();
    const gid_t group = root ? 65534 : ::getegid();
    struct Case {
        const char* name;
        bool folderWritable;
        bool tempWritable;
        uid_t owner; // 0: root, else the saving user
        gid_t fileGroup;
        rlim_t sizeLimit; // 0: none
    };
    const Case cases[] = {
        {"read-only folder, backup in the temporary folder", false, true, 1, 1, 0},
        {"read-only folder, backup in memory", false, false, 1, 1, 0},
        {"read-only folder, the write fails", false, true, 1, 1, 1500},
        {"another owner", true, true, 0, 0, 0},
        {"a group the saver is not in", true, true, 1, 0, 0},
    };
    int ran = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool otherOwner = c.owner == 0 || c.fileGroup == 0;
        if (otherOwner && !root) continue;
        ++ran;
        TempFolder dir;
        const std::string folder = dir.file("folder");
        const std::string temp = dir.file("temp");
        const std::string file = folder + "/doc.bin";
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(temp.c_str(), 0755), 0);
        writeBytes(file, pattern(1000, 1));
        const uid_t fileOwner = c.owner == 0 ? 0 : user;
        const gid_t fileGroup = c.fileGroup == 0 ? 0 : group;
        ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        // As root the folders the user may write to are the user's; otherwise the others
        // are made read-only.
        ASSERT_EQ(root ? ::chown(file.c_str(), fileOwner, fileGroup) : 0, 0);
        for (const auto& [path, writable] :
             {std::pair{folder, c.folderWritable}, {temp, c.tempWritable}}) {
            const int rc = root ? (writable ? ::chown(path.c_str(), user, group) : 0)
                                : ::chmod(path.c_str(), writable ? 0755 : 0555);
            ASSERT_EQ(rc, 0) << path;
        }
        const struct stat before = statOf(file);

        const ByteVector now = pattern(2000, 2);
        const bool saved = inChild(user, group, [&] {
            ::setenv("TMPDIR", temp.c_str(), 1);
            if (c.sizeLimit) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{c.sizeLimit, c.sizeLimit};
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
            }
            return save(file, now);
        });
        ::chmod(folder.c_str(), 0755);
        ::chmod(temp.c_str(), 0755);

        EXPECT_EQ(saved, c.sizeLimit == 0);
        EXPECT_EQ(readBytes(file), saved ? now : pattern(1000, 1));
        const struct stat after = statOf(file);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_uid, fileOwner);
        EXPECT_EQ(after.st_gid, fileGroup);
        EXPECT_EQ(after.st_mode & 07777, 0666u);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"doc.bin"});
        EXPECT_TRUE(namesIn(temp).empty());
    }
    if (!root) GTEST_SKIP() << "ran " << ran << " cases; another owner or group needs root";
}

// Extended attributes, ACLs among them, belong to the file and stay with it.
TEST(FileIo, ExtendedAttributesStay) {
    TempFolder dir;
    const std::string file = dir.file("f");
    writeBytes(file, pattern(10, 1));
    if (::setxattr(file.c_str(), "user.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no extended attributes here: " << std::strerror(errno);
    const ino_t inode = statOf(file).st_ino;
    ASSERT_TRUE(save(file, pattern(20, 2)));
    char value[8] = {};
    EXPECT_EQ(::getxattr(file.c_str(), "user.note", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"f"});
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
