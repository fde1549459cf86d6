#pragma once
// A started editor on the fake platform, with helpers to set up documents.

#include "core/Form1.h"
#include "support/FakePlatform.h"

namespace quillory::testing {

struct Editor {
    FakePlatform fake;
    Form1 form{fake};

    Editor() { form.Form_Load(); }

    void load(Bytes bytes) { form.loadDocument(std::move(bytes)); }
};

} // namespace quillory::testing
