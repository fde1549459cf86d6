#pragma once
// File names as the file system has them. A Linux name is bytes: the desktop writes
// UTF-8, but names that came from a Chinese Windows machine (an unpacked archive, a
// copied disc) are often GBK bytes. The editor holds every name as UTF-16 in which each
// byte that is not part of valid UTF-8 is the lone surrogate U+DC00 + byte, which valid
// text never holds, so any name goes there and back unchanged. The user sees a name as
// `shownName` writes it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

class CodePage936;

// The bytes' name: valid UTF-8 decoded, any other byte held as U+DC00 + byte.
std::u16string nameFromNative(std::string_view bytes);
// The bytes a name stands for; a lone surrogate that holds no byte becomes U+FFFD.
std::string nativePath(std::u16string_view name);

// The last part of a path: a file's own name.
std::u16string lastPart(const std::u16string& path);

// A name as the user sees it, part by part: a part whose bytes are not UTF-8 is decoded
// as code page 936 when it is GBK throughout, as Chinese Windows shows it; otherwise each
// of its bytes outside UTF-8 is written "\xHH".
std::u16string shownName(std::u16string_view name, const CodePage936& cp);

struct FolderEntry {
    std::u16string name; // as held above
    std::u16string shown;
    bool folder = false; // a folder, or a link to one
    bool file = false;   // a regular file, or a link to one
    std::int64_t size = 0;
    std::int64_t modified = 0; // seconds since the epoch
};

// Every entry of the folder but "." and "..", whatever bytes its name holds; none when
// the folder cannot be read.
std::vector<FolderEntry> listFolder(std::u16string_view folder, const CodePage936& cp);

// The local files a drag's "text/uri-list" names, in order: each "file:" URI's path with
// its percent-escapes turned back into the bytes they carry, whatever those are.
std::vector<std::u16string> namesFromUriList(std::string_view list);

// The name a typed path means. Each part is the entry of that name, else the first entry
// shown that way (a GBK name typed as the dialog shows it); a part that matches no entry
// is new, and is written as typed, in UTF-8.
std::u16string resolveTyped(std::u16string_view typed, const CodePage936& cp);

} // namespace quillory
