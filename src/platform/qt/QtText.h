#pragma once
// The editor's texts as Qt takes them.

#include <QString>

#include <string>

namespace quillory {

inline QString q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

// The editor breaks lines with CR LF; a label breaks at LF alone and shows the CR.
inline QString lines(const std::u16string& s) {
    return q(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace quillory
