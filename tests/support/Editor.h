#pragma once
// A started editor on the fake platform, with helpers to set up documents.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Form1.h"
#include "support/FakePlatform.h"

namespace quillory::testing {

struct Editor {
    FakePlatform fake;
    Form1 form{fake};

    Editor() { form.Form_Load(); }

    // Replaces the document as a command that changed the length would, and shows
    // its first page.
    void load(Bytes bytes) {
        form.FileBytes = std::move(bytes);
        form.LastOffset = static_cast<std::int32_t>(form.FileBytes.size());
        form.Fcount();
        form.CurPage = 0;
        form.PageStart = 0;
        form.VscrollBar.setValue(0);
        form.ShowPage();
    }

    // Character grid text of in-page offset o.
    const std::u16string& chr(int o) const { return form.ChrBox.text(form.OffsetToCell[o]); }
    const std::u16string& hex(int o) const { return form.NumberBox.text(form.OffsetToCell[o]); }
};

} // namespace quillory::testing
