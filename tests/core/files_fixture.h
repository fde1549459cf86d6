#pragma once
// Real files in a temporary folder for the file tests, read and written with the
// standard library so that the editor's own file access is not checked with itself.

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Bytes.h"
#include "support/Editor.h"

namespace quillory::testing {

using ByteVector = Bytes;

inline const std::u16string kSaveFailed = u"文件保存失败！";

// Every name in a folder, hidden ones too, sorted.
inline std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
}

class TempFolder {
  public:
    TempFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "quillory-XXXXXX").string();
        if (::mkdtemp(name.data())) path_ = name;
    }
    ~TempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> names() const { return namesIn(path_); }

  private:
    std::string path_;
};

// The temporary paths are ASCII.
inline std::u16string u16(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

inline ByteVector readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Bytes that differ from one offset to the next and from one seed to another.
inline ByteVector pattern(std::size_t size, unsigned seed) {
    ByteVector bytes(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return bytes;
}

// Opens `path` through F2, answering the dialog with it.
inline void openFile(Editor& e, const std::string& path) {
    e.fake.files.push_back(u16(path));
    e.form.Fopen();
}

inline ByteVector reopen(const std::string& path) {
    Editor again;
    openFile(again, path);
    return again.form.FileBytes;
}

// Lowers this process's file size limit; a write past it fails with EFBIG.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{bytes, old_.rlim_max};
        ok_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit old_{};
    void (*handler_)(int) = nullptr;
    bool ok_ = false;
};

// Runs `body` in a child process, as the ordinary user `uid`:`gid` when this process is
// root; true when body returned true. The child's own assertions would not reach the
// parent, so body reports by its result.
inline bool inChild(uid_t uid, gid_t gid, const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(3);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace quillory::testing
