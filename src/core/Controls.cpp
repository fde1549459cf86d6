#include "core/Controls.h"

#include <algorithm>
#include <cassert>

namespace quillory {

void ListBox::entryChanged(int k, Change what) {
    if (onEntryChanged) onEntryChanged(k, what);
    changed();
}

void ListBox::addItem(std::u16string text) {
    items_.push_back(std::move(text));
    selected_.push_back(0);
    entryChanged(-1, Change::All);
}

void ListBox::clear() {
    items_.clear();
    selected_.clear();
    listIndex_ = -1;
    entryChanged(-1, Change::All);
}

void ListBox::setText(int k, const std::u16string& text) {
    if (items_[k] == text) return;
    items_[k] = text;
    entryChanged(k, Change::Text);
}

void ListBox::setSelected(int k, bool on) {
    if (selected(k) == on) return;
    selected_[k] = on;
    listIndex_ = k;
    entryChanged(k, Change::Selection);
    if (Click) Click();
}

void ListBox::setToolTipText(const std::u16string& text) {
    if (toolTip_ == text) return;
    toolTip_ = text;
    changed();
}

void ListBox::userClick(int k) {
    if (k < 0 || k >= listCount()) return;
    setSelected(k, !selected(k));
}

void ListBox::userDblClick(int k) {
    if (k < 0 || k >= listCount()) return;
    listIndex_ = k;
    if (DblClick) DblClick();
}

void ListBox::userMouseDown(int button, int shift, float x, float y) {
    if (MouseDown) MouseDown(button, shift, x, y);
}

void ListBox::userMouseMove(int buttons, int shift, float x, float y) {
    if (MouseMove) MouseMove(buttons, shift, x, y);
}

void ScrollBar::setValue(int v) {
    v = std::clamp(v, 0, max_);
    if (v == value_) return;
    value_ = v;
    changed();
    if (Change) Change();
}

void ScrollBar::setMax(int m) {
    assert(m >= 0);
    max_ = m;
    changed();
    if (value_ > max_) {
        value_ = max_;
        if (Change) Change();
    }
}

void ScrollBar::userScroll(int v) {
    v = std::clamp(v, 0, max_);
    if (v == value_) return;
    value_ = v;
    changed();
    if (Scroll) Scroll();
}

void Label::setCaption(const std::u16string& text) {
    caption_ = text;
    changed();
}

std::u16string Label::displayText() const {
    std::u16string out;
    out.reserve(caption_.size());
    for (std::size_t i = 0; i < caption_.size(); ++i) {
        if (caption_[i] != u'&') {
            out.push_back(caption_[i]);
        } else if (i + 1 < caption_.size() && caption_[i + 1] == u'&') {
            out.push_back(u'&');
            ++i;
        }
    }
    return out;
}

} // namespace quillory
