#pragma once

#include <cstdint>

namespace quillory {

// The file a name leads to and the moment its bytes were last written: another
// program that writes the file, or puts a new file in its place, changes it.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

} // namespace quillory
