#pragma once
// Whole-file access on POSIX calls, shared by the editor and its tests. A file is read
// into memory in one piece, and written back so that a failure at any step leaves the
// file on disk as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/FileStamp.h"
#include "platform/Bytes.h"

namespace quillory {

// The stamp of the regular file the path leads to (links followed); nullopt when there
// is none.
std::optional<FileStamp> stampOf(const std::string& path);

// What a name picked for a save leads to.
enum class SaveTarget {
    New,      // nothing there yet, in a folder that exists
    Existing, // a file, or a link, that a save would replace
    Folder,   // a folder, which no save can replace
    NoFolder, // a folder on the way is missing
};
SaveTarget saveTargetOf(const std::string& path);

// Whether two names lead to the same file (links followed).
bool sameFile(const std::string& a, const std::string& b);
// Whether two names lead to the same place, which need not hold a file yet: folders and
// links followed, "." and ".." taken out.
bool sameName(const std::string& a, const std::string& b);

// The whole named regular file in a new array, when its length is 1..maxLength;
// nullopt with errno set otherwise (EFBIG too long, EINVAL empty or not a file). The
// stamp, when asked for, is that of the file the bytes came from.
std::optional<Bytes> readWholeFile(const std::string& path, std::int64_t maxLength,
                                   FileStamp* stamp = nullptr);

// Makes the named file hold exactly data[0..size), creating it when missing. A
// symbolic link stays a link and the file it leads to gets the bytes; hard links stay
// joined; mode, owner, group, ACLs and extended attributes stay. Returns false with
// errno set on failure, and the file is then as it was.
bool writeWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

} // namespace quillory
