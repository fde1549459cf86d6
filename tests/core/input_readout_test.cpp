#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

// The offset read-out with the right or middle button held: a held button leaves the
// tooltip as it was.
TEST(OffsetReadOut, ButtonHeldLeavesTooltip) {
    Editor e;
    for (const int button : {kLeftButton, kRightButton, kMiddleButton}) {
        ListBox& chr = e.form.ChrBox;
        chr.userMouseMove(0, 0, 10, 10);
        chr.userMouseMove(button, 0, 5 * 180 + 10, 3 * 225 + 10);
        EXPECT_EQ(chr.toolTipText(), u"总偏移量0(0) 页内偏移量0(0)") << button;
    }
}

} // namespace
} // namespace quillory::testing
