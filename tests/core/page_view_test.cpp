#include <gtest/gtest.h>

#include "support/Editor.h"

namespace quillory::testing {
namespace {

TEST(PageView, NewDocumentShowsPlaceholders) {
    Editor e;
    EXPECT_EQ(e.form.FileBytes.size(), 512u);
    EXPECT_EQ(e.form.NumberBox.listCount(), 512);
    EXPECT_EQ(e.form.ChrBox.text(0), u". ");
    EXPECT_EQ(e.form.AddressBox.text(31), u" 0001F0");
    EXPECT_EQ(e.form.StateBar.displayText(), u"文件字节:512( &H200) 总页数:1 当前页:1");
}

} // namespace
} // namespace quillory::testing
