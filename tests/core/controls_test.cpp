// The control models raise their events synchronously, and only on a change.

#include <gtest/gtest.h>

#include "core/Controls.h"

namespace quillory {
namespace {

TEST(ListBoxModel, EventsWithEntryCurrent) {
    ListBox box;
    for (int k = 0; k < 4; ++k)
        box.addItem(u"x");
    std::vector<int> clicks;
    int dbl = -1, down = 0;
    box.Click = [&] { clicks.push_back(box.listIndex()); };
    box.DblClick = [&] { dbl = box.listIndex(); };
    box.MouseDown = [&](int b, int, float, float) { down = b; };
    EXPECT_EQ(box.listIndex(), -1);
    box.setSelected(2, true);
    box.setSelected(2, true); // no change, no event
    box.setSelected(1, false);
    box.userClick(3);
    box.userClick(3);
    box.userDblClick(1);
    box.userMouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(clicks, (std::vector<int>{2, 3, 3}));
    EXPECT_TRUE(box.selected(2));
    EXPECT_FALSE(box.selected(3));
    EXPECT_EQ(dbl, 1);
    EXPECT_FALSE(box.selected(1)); // a double click toggles nothing by itself
    EXPECT_EQ(down, kRightButton);
}

// A view repaints and announces the entries it is told of, and nothing for a text or
// selection the entry already has.
TEST(ListBoxModel, TellsViewsWhichEntryChanged) {
    ListBox box;
    std::vector<std::pair<int, ListBox::Change>> told;
    box.onEntryChanged = [&](int k, ListBox::Change what) { told.emplace_back(k, what); };
    box.addItem(u"x");
    box.addItem(u"y");
    box.setText(1, u"y");
    box.setText(1, u"z");
    box.setSelected(0, false);
    box.userClick(0);
    box.clear();
    using C = ListBox::Change;
    EXPECT_EQ(told,
              (std::vector<std::pair<int, C>>{
                  {-1, C::All}, {-1, C::All}, {1, C::Text}, {0, C::Selection}, {-1, C::All}}));
}

TEST(ScrollBarModel, ChangeOnlyOnDifferentValueOrLoweredMaximum) {
    ScrollBar bar;
    int changes = 0, scrolls = 0;
    bar.Change = [&] { ++changes; };
    bar.Scroll = [&] { ++scrolls; };
    bar.setMax(5);
    bar.setValue(0);
    EXPECT_EQ(changes, 0);
    bar.setValue(4);
    bar.setValue(4);
    EXPECT_EQ(changes, 1);
    bar.setMax(6);
    EXPECT_EQ(changes, 1);
    bar.setMax(2);
    EXPECT_EQ(bar.value(), 2);
    EXPECT_EQ(changes, 2);
    bar.userScroll(1);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(bar.value(), 1);
}

TEST(LabelModel, Ampersands) {
    Label label;
    label.setCaption(u"a&&b &c&");
    EXPECT_EQ(label.displayText(), u"a&b c");
}

} // namespace
} // namespace quillory
