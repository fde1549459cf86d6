#pragma once
// Real files for the tests and benchmarks: a temporary folder that goes with all it holds,
// whole files read and written with the standard library, and reproducible bytes.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/Format.h"
#include "platform/Bytes.h"

namespace quillory::testing {

struct TempFolder {
    std::string path = std::filesystem::temp_directory_path() / "quillory-XXXXXX";
    TempFolder() {
        if (!::mkdtemp(path.data())) throw std::filesystem::filesystem_error("mkdtemp", {});
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::u16string u16(const std::string& name) const { return ascii(file(name)); }
};

inline Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Bytes that look random and are the same for the same seed.
inline Bytes pattern(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&rng] { return std::uint8_t(rng()); });
    return bytes;
}

} // namespace quillory::testing
