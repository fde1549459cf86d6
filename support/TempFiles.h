#pragma once
// Real files for the tests and benchmarks: a temporary folder that goes with all it holds,
// whole files read and written with the standard library, and reproducible bytes.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "core/Format.h"
#include "platform/Bytes.h"

namespace quillory::testing {

struct TempFolder {
    std::string path;
    explicit TempFolder(const std::filesystem::path& in = std::filesystem::temp_directory_path())
        : path(in / "quillory-XXXXXX") {
        if (!::mkdtemp(path.data())) throw std::filesystem::filesystem_error("mkdtemp", {});
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::u16string u16(const std::string& name) const { return ascii(file(name)); }
};

// None for a missing file. In any byte container: a file can be megabytes long.
template <class Container = Bytes> Container readBytes(const std::string& path) {
    std::error_code missing;
    Container bytes(std::filesystem::file_size(path, missing) * !missing);
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(bytes.data()), std::ssize(bytes));
    return bytes;
}

template <class Container> void writeBytes(const std::string& path, const Container& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// File names of 1 to 12 random bytes, any but NUL and '/', the same for the same seed.
inline std::set<std::string> randomNames(std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::set<std::string> names;
    while (names.size() < count) {
        std::string name(1 + rng() % 12, '_');
        for (char& c : name)
            c = static_cast<char>(1 + rng() % 255);
        std::replace(name.begin(), name.end(), '/', '_');
        if (name != "." && name != "..") names.insert(name);
    }
    return names;
}

// Bytes that look random and are the same for the same seed.
inline Bytes pattern(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&rng] { return std::uint8_t(rng()); });
    return bytes;
}

} // namespace quillory::testing
