#pragma once
// Models of the controls the editor drives. A model raises its events synchronously,
// before the call that caused them returns: the editor's handlers rely on that. Views
// (the Qt widgets) paint a model and forward the user's mouse to it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillory {

enum MouseButton { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// Tells a view that its model changed; views coalesce repaints themselves.
class Observable {
  public:
    std::function<void()> onChanged;

  protected:
    void changed() {
        if (onChanged) onChanged();
    }
};

// What assistive technology reads for one entry of a list box: the text shown (a
// narrow character without the space that pads it) and where the entry's byte lies.
struct CellReading {
    std::u16string name;
    std::u16string description;
};

// A list box: entries with a selection each, a current entry and a tooltip.
class ListBox : public Observable {
  public:
    enum class Change { Text, Selection, All };
    // Tells a view which entry changed and how, before onChanged, so that it can repaint
    // and announce that entry alone; All (entry -1) when entries were added or removed.
    std::function<void(int k, Change what)> onEntryChanged;

    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(int button, int shift, float x, float y)> MouseDown;
    std::function<void(int buttons, int shift, float x, float y)> MouseMove;

    void addItem(std::u16string text);
    void clear();
    int listCount() const { return static_cast<int>(items_.size()); }
    const std::u16string& text(int k) const { return items_[k]; }
    // The text it already has raises nothing.
    void setText(int k, const std::u16string& text);

    bool selected(int k) const { return selected_[k] != 0; }
    // A change raises Click with entry k current; the state it already has raises nothing.
    void setSelected(int k, bool on);
    int listIndex() const { return listIndex_; }

    const std::u16string& toolTipText() const { return toolTip_; }
    void setToolTipText(const std::u16string& text);

    // What the user does, as the view reports it.
    void userClick(int k); // toggles entry k
    void userDblClick(int k);
    void userMouseDown(int button, int shift, float x, float y);
    void userMouseMove(int buttons, int shift, float x, float y);

  private:
    void entryChanged(int k, Change what);

    std::vector<std::u16string> items_;
    std::vector<std::uint8_t> selected_;
    int listIndex_ = -1;
    std::u16string toolTip_;
};

// A vertical scroll bar with minimum 0 and steps of 1.
class ScrollBar : public Observable {
  public:
    std::function<void()> Change;
    std::function<void()> Scroll;

    int value() const { return value_; }
    int max() const { return max_; }
    // A different value raises Change.
    void setValue(int v);
    // Lowering the maximum below the value brings the value down and raises Change.
    void setMax(int m);

    // What the user does: a click on an arrow or the track, or releasing the box.
    void userChange(int v) { setValue(v); }
    // Each movement while the box is dragged.
    void userScroll(int v);

  private:
    int value_ = 0;
    int max_ = 0;
};

// A label. A single "&" marks a mnemonic and is not shown; "&&" shows one ampersand.
class Label : public Observable {
  public:
    const std::u16string& caption() const { return caption_; }
    void setCaption(const std::u16string& text);
    std::u16string displayText() const;

  private:
    std::u16string caption_;
};

} // namespace quillory
