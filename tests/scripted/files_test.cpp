// Saves change the bytes and nothing else of a file; a save or open that cannot happen
// changes nothing. Files are read and written here with the standard library.

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "core/Format.h"
#include "files/FileIo.h"
#include "files/Names.h"
#include "platform/CodePage936.h"
#include "support/Editor.h"
#include "support/TempFiles.h"

namespace quillory::testing {
namespace {

namespace fs = std::filesystem;

bool save(const std::string& path, const Bytes& bytes) {
    return writeWholeFile(path, bytes.data(), bytes.size());
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Every name under a folder with what it holds: a file its bytes, a folder "/", a link "@".
std::map<std::string, Bytes> tree(const std::string& folder) {
    std::map<std::string, Bytes> all;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        all[e.path().lexically_relative(folder)] = e.is_symlink()     ? Bytes{'@'}
                                                   : e.is_directory() ? Bytes{'/'}
                                                                      : readBytes(e.path());
    return all;
}

// Runs body with this process's file size limit lowered to `bytes`.
template <typename Body> auto underSizeLimit(rlim_t bytes, Body body) {
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
    rlimit limit{bytes, RLIM_INFINITY};
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    auto result = body();
    limit.rlim_cur = RLIM_INFINITY;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return result;
}

// Whether body returned true in a child process, run as user 65534 when this is root.
template <typename Body> bool inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) || ::setgid(65534) || ::setuid(65534)))
            ::_exit(3);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

// The files fsync was asked for, by inode: the link puts this wrapper in its place.
std::vector<ino_t> gSynced;
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0) gSynced.push_back(st.st_ino);
    return __real_fsync(fd);
}

namespace {

// A save writes the file the path leads to, through symbolic links that stay (a relative
// one read from its own folder, one that leads nowhere yet makes the file), and syncs it
// and its folder before it says so; or it fails and touches nothing.
TEST(Files, SaveWritesWhereThePathLeadsOrNowhere) {
    using Links = std::vector<std::pair<std::string, std::string>>; // name, text ('@': absolute)
    const std::tuple<Links, std::string, std::string> cases[] = {
        {{{"link", "@file"}}, "link", "file"},
        {{{"sub/link", "../file"}}, "sub/link", "file"},
        {{{"first", "second"}, {"second", "sub/file"}}, "first", "sub/file"},
        {{{"link", "sub/new"}}, "link", "sub/new"},
        {{{"a", "b"}, {"b", "a"}}, "a", ""},
        {{{"link", "missing/new"}}, "link", ""},
    };
    for (const auto& [links, through, holder] : cases) {
        SCOPED_TRACE(through);
        TempFolder dir;
        fs::create_directory(dir.file("sub"));
        writeBytes(dir.file("file"), pattern(100, 1));
        writeBytes(dir.file("sub/file"), pattern(100, 1));
        auto to = [&dir](const std::string& t) { return t[0] == '@' ? dir.file(t.substr(1)) : t; };
        for (const auto& [name, text] : links)
            fs::create_symlink(to(text), dir.file(name));
        auto want = tree(dir.path);
        if (!holder.empty()) want[holder] = pattern(300, 2);
        gSynced.clear();
        EXPECT_EQ(save(dir.file(through), pattern(300, 2)), !holder.empty());
        EXPECT_EQ(tree(dir.path), want);
        if (holder.empty()) continue;
        const std::string folder = fs::path(dir.file(holder)).parent_path();
        EXPECT_EQ(gSynced, (std::vector{statOf(dir.file(holder)).st_ino, statOf(folder).st_ino}));
    }
}

// Longer, then shorter, a file keeps mode, owner, group, links and attributes, and nothing
// is left beside it: where a rename could not keep them, it is overwritten in place, backed
// up beside it, in the temporary folder or in memory, and a failed write puts the old bytes
// back. The saver is user 65534 as root (else this user, skipping O and G). F folder and T
// temporary folder read-only, O owner and G group other, h hard-linked, x with an attribute,
// L limited to 1500 bytes, r read-only, ! refused.
TEST(Files, SaveKeepsWhatTheFileIs) {
    const bool root = ::geteuid() == 0;
    const std::pair<const char*, std::string> rows[] = {
        {"plain file, renamed over", ""},
        {"hard-linked", "h"},
        {"with an attribute", "x"},
        {"folder read-only", "F"},
        {"folder and temporary folder read-only", "FT"},
        {"folder read-only, 1500-byte file size limit: refused", "FL!"},
        {"file read-only: refused", "r!"},
        {"other owner and group", "OG"},
        {"other group", "G"}};
    for (const auto& [row, flags] : rows) {
        SCOPED_TRACE(row);
        auto has = [&flags](char f) { return flags.find(f) != std::string::npos; };
        if ((has('O') || has('G')) && !root) continue;
        TempFolder dir;
        const std::string folder = dir.file("folder"), temp = dir.file("temp");
        const std::string file = folder + "/doc.bin";
        fs::create_directory(folder);
        fs::create_directory(temp);
        writeBytes(file, pattern(1000, 1));
        if (has('h')) fs::create_hard_link(file, folder + "/twin");
        ASSERT_EQ(has('x') ? ::setxattr(file.c_str(), "user.note", "kept", 4, 0) : 0, 0);
        ASSERT_EQ(root ? ::chown(file.c_str(), has('O') ? 0 : 65534, has('G') ? 0 : 65534) : 0, 0);
        ASSERT_EQ(::chmod(file.c_str(), has('r') ? 0444 : 0606), 0);
        ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
        ASSERT_EQ(::chmod(folder.c_str(), has('F') ? 0555 : 0777), 0);
        ASSERT_EQ(::chmod(temp.c_str(), has('T') ? 0555 : 0777), 0);
        const struct stat before = statOf(file);
        const std::size_t names = tree(folder).size();

        const bool saved = inChild([&] {
            ::setenv("TMPDIR", temp.c_str(), 1);
            return underSizeLimit(has('L') ? 1500 : RLIM_INFINITY, [&] {
                return save(file, pattern(2000, 2)) && save(file, pattern(300, 3));
            });
        });
        ::chmod(folder.c_str(), 0755);
        EXPECT_EQ(saved, !has('!'));
        const Bytes now = saved ? pattern(300, 3) : pattern(1000, 1);
        EXPECT_EQ(readBytes(file), now);
        const struct stat after = statOf(file);
        EXPECT_EQ(flags.empty() ? before.st_ino : after.st_ino, before.st_ino); // in place
        EXPECT_EQ(std::tie(after.st_mode, after.st_uid, after.st_gid, after.st_nlink),
                  std::tie(before.st_mode, before.st_uid, before.st_gid, before.st_nlink));
        char note[4] = {};
        EXPECT_EQ(::getxattr(file.c_str(), "user.note", note, sizeof note), has('x') ? 4 : -1);
        EXPECT_EQ(readBytes(folder + "/twin"), has('h') ? now : Bytes());
        EXPECT_EQ(tree(folder).size(), names);
        EXPECT_TRUE(fs::is_empty(temp));
    }
    TempFolder dir; // a new file gets the usual mode less the umask
    const mode_t old = ::umask(027);
    EXPECT_TRUE(save(dir.file("new"), pattern(10, 1)));
    ::umask(old);
    EXPECT_EQ(statOf(dir.file("new")).st_mode & 07777, 0640u);
}

// Open takes a file of 16 MiB whole. One byte more, or a pipe (a blocking open would hang),
// changes nothing, the document's buffer included.
TEST(Files, OpenTakesUpTo16MiBAndNoPipe) {
    constexpr std::int64_t k16MiB = 16 << 20; // the limit users are told, not the constant
    for (const std::int64_t size : {k16MiB, k16MiB + 1, std::int64_t{-1}}) {
        SCOPED_TRACE(size);
        TempFolder dir;
        Editor e;
        e.load(pattern(2000, 6));
        const std::uint8_t* buffer = e.form.FileBytes.data();
        const std::string native = dir.file("f");
        if (size > 0) std::ofstream(native).seekp(size - 1) << 'Z';
        ASSERT_EQ(size < 0 ? ::mkfifo(native.c_str(), 0600) : 0, 0);
        e.fake.files = {dir.u16("f")};
        e.form.Fopen();
        EXPECT_TRUE(e.fake.messages.empty());
        EXPECT_EQ(e.form.FileBytes.size(), size == k16MiB ? std::size_t(size) : 2000u);
        EXPECT_EQ(e.form.FileBytes.data() == buffer, size != k16MiB);
        EXPECT_EQ(e.form.FileBytes.back(), size == k16MiB ? 'Z' : pattern(2000, 6).back());
    }
}

// A name is the file system's bytes, shown as UTF-8 where it is UTF-8 (though GBK too),
// else as GBK where it is GBK throughout, else with its other bytes escaped. 1,000 names
// of random bytes are each listed, picked back by the name shown where no other is shown
// alike, opened and shown in the caption.
TEST(Files, NamesOfAnyBytes) {
    const CodePage936& cp = CodePage936::instance();
    const std::pair<std::string, std::u16string> rows[] = {
        {"\xE4\xB8\xAD.bin", u"中.bin"},
        {"\xD6\xD0\xCE\xC4.bin", u"中文.bin"},
        {"\xC3\xA9", u"é"},
        {"a\xFF\xD6", u"a\\xFF\\xD6"},
        {"\xED\xB2\x80", u"聿€"},
        {"\xF0\x9F\x82\xA1.bin", u"🂡.bin"}, // a pair whose low half looks like a byte
        {"x/\xD6\xD0/\xF0\x9F\x98\x80\xFF", u"x/中/😀\\xFF"}};
    for (const auto& [bytes, shown] : rows) {
        EXPECT_EQ(shownName(nameFromNative(bytes), cp), shown) << bytes;
        EXPECT_EQ(nativePath(nameFromNative(bytes)), bytes);
    }
    TempFolder dir;
    std::map<std::string, Bytes> made;
    for (const std::string& name : randomNames(1000, 936))
        writeBytes(dir.file(name), made[name] = pattern(1 + name.size(), name[0]));
    const std::vector<FolderEntry> listed = listFolder(ascii(dir.path), cp);
    std::map<std::u16string, int> alike;
    for (const FolderEntry& entry : listed)
        ++alike[entry.shown];
    ASSERT_EQ(listed.size(), made.size());
    Editor e;
    for (const FolderEntry& entry : listed) {
        const std::u16string path = dir.u16("") + entry.name;
        ASSERT_TRUE(made.contains(nativePath(entry.name)));
        EXPECT_EQ(entry.shown, shownName(entry.name, cp));
        EXPECT_TRUE(alike[entry.shown] > 1 || resolveTyped(dir.u16("") + entry.shown, cp) == path);
        e.fake.files = {path};
        e.form.Fopen();
        EXPECT_EQ(e.form.FileBytes, made[nativePath(entry.name)]);
        EXPECT_EQ(e.form.Caption, u"正在编辑：" + shownName(path, cp));
    }
    // A UTF-8 name goes before a GBK one shown alike.
    writeBytes(dir.file("\xE4\xB8\xAD.bin"), pattern(1, 1));
    writeBytes(dir.file("\xD6\xD0.bin"), pattern(1, 1));
    EXPECT_EQ(resolveTyped(dir.u16("中.bin"), cp), dir.u16("中.bin"));
}

// A save cut short by the size limit says so, keeps the document and its mark and
// leaves the file, by its only name, a second hard link (saved in place with a backup)
// or a symbolic link, as it was; random sizes let backup and bytes fit or not. Without
// the limit it then saves without asking: restoring the old bytes was its own write.
TEST(Files, SaveCutShortByTheFileSizeLimit) {
    std::mt19937 rng(7919);
    const std::size_t sizes[] = {1, 511, 512, 513, 3000, 70000};
    int failed = 0;
    for (int round = 0; round < 60; ++round) {
        const int naming = round % 3; // only name, hard-linked, symlinked
        SCOPED_TRACE("round " + std::to_string(round));
        TempFolder dir;
        const Bytes old = pattern(sizes[rng() % 6] + rng() % 3, rng());
        const Bytes now = pattern(sizes[rng() % 6] + rng() % 3, rng());
        writeBytes(dir.file("doc.bin"), old);
        if (naming == 1) fs::create_hard_link(dir.file("doc.bin"), dir.file("twin.bin"));
        if (naming == 2) fs::create_symlink("doc.bin", dir.file("link.bin"));
        Editor e;
        e.fake.files = {dir.u16(naming == 2 ? "link.bin" : "doc.bin")};
        e.form.Fopen();
        e.load(now);
        e.form.Dirty = kTrue;
        auto want = tree(dir.path);
        const std::size_t larger = std::max(old.size(), now.size());
        const auto limit = static_cast<rlim_t>(rng() % (2 * larger + 1));

        const bool ok = underSizeLimit(limit, [&] { return e.form.Fsave(); });
        // Bytes that fit are written; bytes that do not cannot be.
        EXPECT_TRUE(now.size() <= limit || !ok);
        EXPECT_TRUE(larger > limit || ok);
        for (const char* name : {"doc.bin", "twin.bin"})
            if (ok && want.contains(name)) want[name] = now;
        EXPECT_EQ(tree(dir.path), want);
        EXPECT_EQ(e.fake.messages.size(), ok ? 0u : 1u);
        EXPECT_EQ(e.form.Dirty, ok ? kFalse : kTrue);
        EXPECT_EQ(e.form.FileBytes, now);
        if (ok) continue;
        ++failed;
        EXPECT_TRUE(e.form.Fsave());
        EXPECT_EQ(readBytes(dir.file("doc.bin")), now);
    }
    // Both outcomes were seen, or the limits were not chosen well.
    EXPECT_GT(failed, 10);
    EXPECT_LT(failed, 50);
}

} // namespace
} // namespace quillory::testing
