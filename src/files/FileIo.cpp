#include "files/FileIo.h"

#include "core/Format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>

namespace quillory {
namespace {

// Keeps errno across the clean-up calls of a failure path.
class ErrnoKeeper {
  public:
    ErrnoKeeper() : saved_(errno) {}
    ~ErrnoKeeper() { errno = saved_; }
    ErrnoKeeper(const ErrnoKeeper&) = delete;
    ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

  private:
    int saved_;
};

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ErrnoKeeper keep;
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // A close that fails can mean that buffered data never reached the disk.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// A file made with mkstemp, removed again unless kept.
class TempFile {
  public:
    explicit TempFile(std::string templ) : name_(std::move(templ)) {
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
        if (fd_ < 0) name_.clear();
    }
    ~TempFile() {
        ErrnoKeeper keep;
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    // The name no longer needs removing: it was renamed, or it is the last good copy.
    void keep() { name_.clear(); }

  private:
    std::string name_;
    int fd_ = -1;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A hidden name beside the target, so that a rename stays within one file system and a
// leftover after a crash says whose it was.
std::string besideTemplate(const std::string& target) {
    std::string base = baseOf(target);
    if (base.size() > 200) base = "quillory";
    return folderOf(target) + "/." + base + ".XXXXXX";
}

// Follows symbolic links to the name that holds the bytes; that name may not exist yet
// (a new file, or a link that leads nowhere so far).
bool resolveLinks(const std::string& path, std::string& target) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) return false;
            target = p;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = p;
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) >= link.size()) { // changed under us
            errno = ELOOP;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        p = !link.empty() && link[0] == '/' ? link : folderOf(p) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

mode_t currentUmask() {
    // Reading it through umask() would change it for a moment; the kernel reports it.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

bool syncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok()) return false;
    // Some file systems cannot sync a folder at all; that is no failure of ours.
    if (::fsync(dir.get()) != 0 && errno != EINVAL) return false;
    return dir.close();
}

// Space is taken before any byte is written, so a full disk fails here and not halfway.
bool reserve(int fd, std::size_t size) {
    if (size == 0) return true;
    const int rc = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (rc != 0) errno = rc;
    return rc == 0;
}

// Moves exactly size bytes with `step(done)`, which moves some of what is left and returns
// how many, across short transfers and interruptions. A transfer that moves nothing met
// a file that ended early, shortened under us: EIO.
template <typename Step> bool transferAll(std::size_t size, Step step) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = step(done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool readAllAt(int fd, std::uint8_t* data, std::size_t size, std::int64_t offset) {
    return transferAll(size, [&](std::size_t done) {
        return ::pread(fd, data + done, size - done, offset + std::int64_t(done));
    });
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    return transferAll(size,
                       [&](std::size_t done) { return ::write(fd, data + done, size - done); });
}

bool copyFile(int from, int to, std::int64_t length) {
    Bytes buffer(static_cast<std::size_t>(
        std::min<std::int64_t>(length > 0 ? length : 1, std::int64_t{1} << 20)));
    for (std::int64_t done = 0; done < length;) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(length - done, static_cast<std::int64_t>(buffer.size())));
        if (!readAllAt(from, buffer.data(), n, done) || ::lseek(to, done, SEEK_SET) < 0 ||
            !writeAll(to, buffer.data(), n))
            return false;
        done += static_cast<std::int64_t>(n);
    }
    return true;
}

// The common case: the new bytes go to a file beside the target, which then takes the
// target's name in one step, so that the target is either wholly old or wholly new.
bool replaceByRename(const std::string& target, const struct stat* old, const std::uint8_t* data,
                     std::size_t size) {
    TempFile temp(besideTemplate(target));
    if (!temp.ok()) return false;
    if (!reserve(temp.fd(), size) || !writeAll(temp.fd(), data, size)) return false;

    mode_t mode = 0666 & ~currentUmask();
    if (old) {
        // Only root may give the file away; anyone else keeps their own uid, which is
        // the file's (renameKeepsIdentity made sure).
        const uid_t owner = ::geteuid() == 0 ? old->st_uid : static_cast<uid_t>(-1);
        if (::fchown(temp.fd(), owner, old->st_gid) != 0) return false;
        // After fchown, which clears the set-id bits.
        mode = old->st_mode & 07777;
    }
    if (::fchmod(temp.fd(), mode) != 0) return false;
    if (::fsync(temp.fd()) != 0 || !temp.close()) return false;
    if (::rename(temp.name().c_str(), target.c_str()) != 0) return false;
    temp.keep();
    // Until the folder is synced the rename itself may not survive a power cut.
    return syncFolder(folderOf(target));
}

// The old bytes of a file that is overwritten in place, kept until the new bytes are
// safely down: in a file beside it where the folder allows, else in the temporary
// folder, else in memory.
class Backup {
  public:
    bool take(int from, std::int64_t length, const std::string& target) {
        length_ = length;
        std::error_code ec;
        const std::string tempFolder = std::filesystem::temp_directory_path(ec).string();
        std::vector<std::string> places{besideTemplate(target)};
        if (!tempFolder.empty()) places.push_back(tempFolder + "/quillory-backup.XXXXXX");
        for (const std::string& templ : places) {
            auto file = std::make_unique<TempFile>(templ);
            if (file->ok() && reserve(file->fd(), static_cast<std::size_t>(length)) &&
                copyFile(from, file->fd(), length) && ::fsync(file->fd()) == 0) {
                file_ = std::move(file);
                return true;
            }
        }
        try {
            memory_.resize(static_cast<std::size_t>(length));
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
            return false;
        }
        return readAllAt(from, memory_.data(), memory_.size(), 0);
    }

    // Puts the old bytes back into blocks the file already had, so no new space is needed.
    bool restoreInto(int to) {
        const bool copied =
            file_ ? copyFile(file_->fd(), to, length_)
                  : ::lseek(to, 0, SEEK_SET) == 0 && writeAll(to, memory_.data(), memory_.size());
        const bool restored = copied && ::ftruncate(to, length_) == 0 && ::fsync(to) == 0;
        // When the old bytes could not go back, a backup file is their only whole copy.
        if (!restored && file_) file_->keep();
        return restored;
    }

  private:
    std::unique_ptr<TempFile> file_; // removed with the backup unless kept
    Bytes memory_;
    std::int64_t length_ = 0;
};

// Overwrites the file where it is, for the files whose identity a rename would lose.
bool overwriteInPlace(const std::string& target, const struct stat& old, const std::uint8_t* data,
                      std::size_t size) {
    Fd file(::open(target.c_str(), O_RDWR | O_CLOEXEC));
    if (!file.ok()) return false;
    Backup backup;
    if (!backup.take(file.get(), old.st_size, target)) return false;

    const bool written = reserve(file.get(), size) && ::lseek(file.get(), 0, SEEK_SET) == 0 &&
                         writeAll(file.get(), data, size) &&
                         ::ftruncate(file.get(), static_cast<off_t>(size)) == 0 &&
                         ::fsync(file.get()) == 0;
    if (!written) {
        ErrnoKeeper keep;
        backup.restoreInto(file.get());
        return false;
    }
    return file.close();
}

bool inGroup(gid_t group) {
    if (group == ::getegid()) return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(n, 0)));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

// A new file renamed over the old one is another file: it keeps the old one's identity
// only when it can have all the old one had. A file with several names, in a folder we
// may not write to, of an owner or group we cannot give, or with extended attributes
// (ACLs among them) is overwritten in place instead.
bool renameKeepsIdentity(const std::string& target, const struct stat& old) {
    if (old.st_nlink > 1) return false;
    if (::access(folderOf(target).c_str(), W_OK | X_OK) != 0) return false;
    if (::geteuid() != 0 && (old.st_uid != ::geteuid() || !inGroup(old.st_gid))) return false;
    const ssize_t attributes = ::listxattr(target.c_str(), nullptr, 0);
    return attributes <= 0;
}

FileStamp stampFrom(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
            static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

} // namespace

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return stampFrom(st);
}

SaveTarget saveTargetOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? SaveTarget::Folder : SaveTarget::Existing;
    if (errno == ENOTDIR) return SaveTarget::NoFolder;
    // A link that leads nowhere yet is still a name a save would write through.
    if (::lstat(path.c_str(), &st) == 0) return SaveTarget::Existing;
    if (errno != ENOENT) return SaveTarget::New; // the save will say what went wrong
    return ::stat(folderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? SaveTarget::New
                                                                           : SaveTarget::NoFolder;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool sameName(const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(a, ea);
    const std::filesystem::path cb = std::filesystem::weakly_canonical(b, eb);
    return a == b || (!ea && !eb && ca == cb);
}

std::optional<Bytes> readWholeFile(const std::string& path, std::int64_t maxLength,
                                   FileStamp* stamp) {
    // Non-blocking, so that a named pipe chosen by mistake cannot hang the editor in open.
    Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.ok()) return std::nullopt;
    struct stat st;
    if (::fstat(file.get(), &st) != 0) return std::nullopt;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return std::nullopt;
    }
    if (st.st_size == 0) {
        errno = EINVAL;
        return std::nullopt;
    }
    if (st.st_size > maxLength) {
        errno = EFBIG;
        return std::nullopt;
    }
    const auto length = static_cast<std::size_t>(st.st_size);
    Bytes bytes(length);
    if (!readAllAt(file.get(), bytes.data(), length, 0)) return std::nullopt;
    if (stamp) *stamp = stampFrom(st);
    return bytes;
}

bool writeWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::string target;
    if (!resolveLinks(path, target)) return false;
    struct stat old;
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT) return false;
        return replaceByRename(target, nullptr, data, size);
    }
    if (!S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A rename would get past a file the user may not write to.
    if (::access(target.c_str(), W_OK) != 0) return false;
    if (renameKeepsIdentity(target, old)) return replaceByRename(target, &old, data, size);
    return overwriteInPlace(target, old, data, size);
}

} // namespace quillory
