// Saves that fail: the file on disk stays byte for byte as it was, the document stays
// modified, the user is told, and nothing is left beside the file.

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "core/files_fixture.h"
#include "support/Editor.h"

namespace quillory::testing {
namespace {

const std::u16string kSaveFailed = u"文件保存失败！";

// A small tmpfs over `folder`, mounted by a helper process in user and mount namespaces
// of its own (as `unshare -Urm` would), and reached through /proc/<pid>/root while the
// helper lives. No privileges are needed where user namespaces are allowed.
class SmallFilesystem {
  public:
    SmallFilesystem(const std::string& folder, const std::string& size) {
        int ready[2], hold[2];
        if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(hold, O_CLOEXEC) != 0) {
            why_ = "pipe failed";
            return;
        }
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        const std::string options = "size=" + size + ",mode=0755";
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(hold[1]);
            auto report = [&](const char* what) {
                const std::string text = std::string(what) + ": " + std::strerror(errno);
                if (::write(ready[1], text.data(), text.size()) < 0) ::_exit(2);
                ::_exit(1);
            };
            auto put = [](const char* file, const std::string& text) {
                const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
                const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) ==
                                               static_cast<ssize_t>(text.size());
                if (fd >= 0) ::close(fd);
                return ok;
            };
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) report("unshare");
            if (!put("/proc/self/setgroups", "deny") ||
                !put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
                report("user namespace map");
            if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                report("private mounts");
            if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
                report("mount tmpfs");
            if (::write(ready[1], "ok", 2) != 2) ::_exit(2);
            char c;
            while (::read(hold[0], &c, 1) < 0 && errno == EINTR) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        hold_ = hold[1];
        if (pid_ < 0) {
            why_ = "fork failed";
            ::close(ready[0]);
            return;
        }
        char buffer[256];
        ssize_t n;
        while ((n = ::read(ready[0], buffer, sizeof buffer)) < 0 && errno == EINTR) {
        }
        ::close(ready[0]);
        const std::string reply(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        if (reply == "ok")
            path_ = "/proc/" + std::to_string(pid_) + "/root" + folder;
        else
            why_ = reply.empty() ? "the helper ended without a word" : reply;
        if (!path_.empty() && ::access(path_.c_str(), W_OK) != 0) {
            why_ = "its namespace cannot be reached: " + std::string(std::strerror(errno));
            path_.clear();
        }
    }
    ~SmallFilesystem() {
        if (hold_ >= 0) ::close(hold_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    const std::string& why() const { return why_; }

  private:
    pid_t pid_ = -1;
    int hold_ = -1;
    std::string path_;
    std::string why_;
};

enum class Fault { FileSizeLimit, FullFilesystem };

struct FaultCase {
    const char* name;
    Fault fault;
    bool hardLinked;
    std::size_t oldSize;
    std::size_t newSize;
};

class SaveFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SaveFaultTest, LeavesTheFileAsItWas) {
    const FaultCase& c = GetParam();
    TempFolder dir;
    std::optional<SmallFilesystem> fs;
    std::string folder = dir.path();
    if (c.fault == Fault::FullFilesystem) {
        fs.emplace(dir.path(), "128k");
        if (!fs->ok())
            GTEST_SKIP() << "a small tmpfs cannot be mounted in a user namespace here ("
                         << fs->why() << "); the full-filesystem case is not run";
        folder = fs->path();
    }
    const std::string file = folder + "/old.bin";
    const ByteVector old = pattern(c.oldSize, 1);
    writeBytes(file, old);
    ASSERT_EQ(readBytes(file), old);
    if (c.hardLinked) {
        ASSERT_EQ(::link(file.c_str(), (folder + "/twin.bin").c_str()), 0);
    }

    Editor e;
    e.fake.files.push_back(u16(file));
    e.form.Fopen();
    ASSERT_EQ(e.form.FileBytes, old);
    e.load(pattern(c.newSize, 2));
    e.form.Dirty = kTrue;
    const std::vector<std::string> names = namesIn(folder);

    bool saved;
    if (c.fault == Fault::FileSizeLimit) {
        FileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.ok());
        saved = e.form.Fsave();
    } else {
        saved = e.form.Fsave();
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(readBytes(file), old);
    if (c.hardLinked) {
        EXPECT_EQ(readBytes(folder + "/twin.bin"), old);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_nlink, 2u);
    }
    EXPECT_EQ(namesIn(folder), names);
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.FileBytes, pattern(c.newSize, 2));
    ASSERT_EQ(e.fake.messages.size(), 1u);
    EXPECT_EQ(e.fake.messages[0].text, kSaveFailed);
    EXPECT_EQ(e.fake.messages[0].buttons, Buttons::OK);

    // With the fault gone, the same command saves.
    fs.reset();
    if (c.fault == Fault::FileSizeLimit) {
        EXPECT_TRUE(e.form.Fsave());
        EXPECT_EQ(readBytes(file), pattern(c.newSize, 2));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SaveFaultTest,
    ::testing::Values(
        FaultCase{"FileSizeLimit", Fault::FileSizeLimit, false, 1000, 64 * 1024},
        FaultCase{"FileSizeLimitHardLinked", Fault::FileSizeLimit, true, 1000, 64 * 1024},
        FaultCase{"FullFilesystem", Fault::FullFilesystem, false, 40 * 1024, 200 * 1024},
        // The backup fits; the target's new length does not.
        FaultCase{"FullFilesystemHardLinked", Fault::FullFilesystem, true, 40 * 1024, 200 * 1024},
        // Not even the backup fits.
        FaultCase{"FullFilesystemNoRoomForBackup", Fault::FullFilesystem, true, 70 * 1024,
                  80 * 1024}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

// Names that cannot be written: the file the document came from is untouched.
struct BadName {
    const char* name;
    const char* relative;
};

class BadNameTest : public ::testing::TestWithParam<BadName> {};

TEST_P(BadNameTest, SaveAsFailsAndSaysSo) {
    TempFolder dir;
    writeBytes(dir.file("old.bin"), pattern(800, 1));
    Editor e;
    e.fake.files.push_back(u16(dir.file("old.bin")));
    e.form.Fopen();
    e.form.FileBytes[0] ^= 1;
    e.form.Dirty = kTrue;
    const std::u16string caption = e.form.Caption;

    e.fake.files.push_back(u16(dir.file(GetParam().relative)));
    EXPECT_FALSE(e.form.FsaveAs());
    EXPECT_EQ(readBytes(dir.file("old.bin")), pattern(800, 1));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"old.bin"});
    EXPECT_EQ(e.form.Dirty, kTrue);
    EXPECT_EQ(e.form.Caption, caption);
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{kSaveFailed});
}

INSTANTIATE_TEST_SUITE_P(Files, BadNameTest,
                         ::testing::Values(BadName{"MissingFolder", "missing/new.bin"},
                                           BadName{"PathThroughAFile", "old.bin/new.bin"},
                                           BadName{"AFolder", "."}),
                         [](const ::testing::TestParamInfo<BadName>& info) {
                             return info.param.name;
                         });

TEST(SaveFault, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write to any file";
    TempFolder dir;
    writeBytes(dir.file("ro.bin"), pattern(100, 1));
    ASSERT_EQ(::chmod(dir.file("ro.bin").c_str(), 0444), 0);
    Editor e;
    e.fake.files.push_back(u16(dir.file("ro.bin")));
    e.form.Fopen();
    e.form.Dirty = kTrue;
    e.form.FileBytes[0] ^= 1;
    EXPECT_FALSE(e.form.Fsave());
    EXPECT_EQ(readBytes(dir.file("ro.bin")), pattern(100, 1));
    EXPECT_EQ(e.fake.messageTexts(), std::vector<std::u16string>{kSaveFailed});
}

} // namespace
} // namespace quillory::testing
