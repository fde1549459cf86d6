#pragma once
// Puts bytes into the editor as a command that changed the length would, and shows
// the first page.

#include "core/Form1.h"

namespace quillory::testing {

inline void loadDocument(Form1& form, Bytes bytes) {
    form.FileBytes = std::move(bytes);
    form.LastOffset = static_cast<std::int32_t>(form.FileBytes.size());
    form.Fcount();
    form.CurPage = 0;
    form.PageStart = 0;
    form.VscrollBar.setValue(0);
    form.ShowPage();
}

} // namespace quillory::testing
