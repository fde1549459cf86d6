#include "files/Names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/Format.h"
#include "platform/CodePage936.h"
#include "platform/Utf16.h"

namespace quillory {
namespace {

constexpr char16_t kByteEscape = 0xDC00;

// Whether name[i] holds a byte rather than text: a low surrogate no high one pairs with.
bool holdsByte(std::u16string_view name, std::size_t i) {
    return name[i] >= kByteEscape + 0x80 && name[i] <= kByteEscape + 0xFF &&
           !(i > 0 && isSurrogatePair(name, i - 1));
}

std::u16string shownPart(std::u16string_view part, const CodePage936& cp) {
    bool bytes = false;
    for (std::size_t i = 0; i < part.size() && !bytes; ++i)
        bytes = holdsByte(part, i);
    if (!bytes) return std::u16string(part);
    const std::string native = nativePath(part);
    std::u16string text =
        cp.fromGbk(reinterpret_cast<const std::uint8_t*>(native.data()), native.size());
    if (text.find(u'\uFFFD') != std::u16string::npos) {
        text.clear();
        for (std::size_t i = 0; i < part.size(); ++i) {
            static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
            if (holdsByte(part, i))
                text += {u'\\', u'x', kDigits[(part[i] >> 4) & 0xF], kDigits[part[i] & 0xF]};
            else
                text += part[i];
        }
    }
    return text;
}

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
int hexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// Calls `each` with the name of every entry of the folder but "." and "..", and the open
// folder's descriptor to look it up by; false when the folder cannot be read.
template <class Each> bool forEachEntry(std::u16string_view folder, Each each) {
    const std::string path = nativePath(folder);
    DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view raw = e->d_name;
        if (raw != "." && raw != "..") each(raw, ::dirfd(dir));
    }
    ::closedir(dir);
    return true;
}

// The parts of a path between its slashes, each passed to `each` with the text before it.
template <class Each> void forEachPart(std::u16string_view path, Each each) {
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find(u'/', start);
        each(path.substr(start, slash == std::u16string_view::npos ? slash : slash - start));
        if (slash == std::u16string_view::npos) return;
        start = slash + 1;
    }
}

} // namespace

std::u16string nameFromNative(std::string_view bytes) {
    std::u16string name;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length > 0 && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
        valid = valid && (length < 3 || (c >= 0x800 && (c < 0xD800 || c > 0xDFFF))) &&
                (length < 4 || (c >= 0x10000 && c <= 0x10FFFF));
        if (!valid) {
            name.push_back(static_cast<char16_t>(kByteEscape + lead));
            ++i;
            continue;
        }
        if (c >= 0x10000)
            name += {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                     static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
        else
            name.push_back(static_cast<char16_t>(c));
        i += length;
    }
    return name;
}

std::string nativePath(std::u16string_view name) {
    std::string native;
    std::size_t from = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (!holdsByte(name, i)) continue;
        native += utf8(name.substr(from, i - from));
        native.push_back(static_cast<char>(name[i] - kByteEscape));
        from = i + 1;
    }
    return native + utf8(name.substr(from));
}

std::u16string lastPart(const std::u16string& path) {
    return path.substr(path.find_last_of(u'/') + 1);
}

std::u16string shownName(std::u16string_view name, const CodePage936& cp) {
    std::u16string shown;
    forEachPart(name, [&](std::u16string_view part) {
        if (part.data() != name.data()) shown += u'/';
        shown += shownPart(part, cp);
    });
    return shown;
}

std::vector<FolderEntry> listFolder(std::u16string_view folder, const CodePage936& cp) {
    std::vector<FolderEntry> entries;
    forEachEntry(folder, [&](std::string_view raw, int dirFd) {
        FolderEntry& entry = entries.emplace_back();
        entry.name = nameFromNative(raw);
        entry.shown = shownPart(entry.name, cp);
        struct stat st;
        if (::fstatat(dirFd, std::string(raw).c_str(), &st, 0) != 0) return; // a broken link
        entry.folder = S_ISDIR(st.st_mode);
        entry.file = S_ISREG(st.st_mode);
        entry.size = st.st_size;
        entry.modified = st.st_mtim.tv_sec;
    });
    return entries;
}

std::vector<std::u16string> namesFromUriList(std::string_view list) {
    std::vector<std::u16string> names;
    for (std::size_t start = 0, end; start < list.size(); start = end + 1) {
        end = std::min(list.find('\n', start), list.size());
        std::string_view uri = list.substr(start, end - start);
        if (uri.ends_with('\r')) uri.remove_suffix(1);
        // file:///path, or file://localhost/path; comment lines start with "#".
        if (uri.starts_with("file://localhost/"))
            uri.remove_prefix(16);
        else if (uri.starts_with("file:///"))
            uri.remove_prefix(7);
        else
            continue;
        std::string path;
        for (std::size_t i = 0; i < uri.size(); ++i) {
            const bool escape = uri[i] == '%' && i + 2 < uri.size() && isHexDigit(uri[i + 1]) &&
                                isHexDigit(uri[i + 2]);
            path.push_back(escape
                               ? static_cast<char>(hexValue(uri[i + 1]) << 4 | hexValue(uri[i + 2]))
                               : uri[i]);
            i += escape ? 2 : 0;
        }
        names.push_back(nameFromNative(path));
    }
    return names;
}

std::u16string resolveTyped(std::u16string_view typed, const CodePage936& cp) {
    std::u16string path;
    forEachPart(typed, [&](std::u16string_view part) {
        if (part.data() != typed.data()) path += u'/';
        std::optional<std::u16string> exact, shown;
        if (!part.empty() && part != u"." && part != u"..")
            forEachEntry(path.empty() ? u"." : std::u16string_view(path),
                         [&](std::string_view raw, int) {
                             const std::u16string name = nameFromNative(raw);
                             if (name == part) exact = name;
                             if (!shown && shownPart(name, cp) == part) shown = name;
                         });
        path += exact ? *exact : shown.value_or(std::u16string(part));
    });
    return path;
}

} // namespace quillory
