#pragma once
// Real files in a temporary folder for the file tests, read and written with the
// standard library so that the editor's own file access is not checked with itself.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/Bytes.h"

namespace quillory::testing {

using ByteVector = Bytes;

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
    std::vector<std::string> names() const;

  private:
    std::string path_;
};

// Every name in a folder, hidden ones too, sorted.
inline std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
}

inline std::vector<std::string> TempFolder::names() const {
    return namesIn(path_);
}

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

} // namespace quillory::testing
