#pragma once
// The main window's menu tree: names, captions, shortcut keys and the handler of each
// entry. The Qt window builds its menus from this table and nothing else.

#include <string>
#include <vector>

namespace quillory {

class Form1;

struct Shortcut {
    int functionKey = 0; // 1..12 for F1..F12; 0 for none
    bool ctrl = false;
    bool shift = false;
};

struct MenuItem {
    int level;              // 1 on the menu bar, 2 and deeper inside
    std::string name;       // the control's name; control arrays carry an index
    int index;              // element of a control array, or -1
    std::u16string caption; // "-" is a separator
    Shortcut shortcut;
    void (*run)(Form1&);      // Click; for a level-1 menu, runs when it is opened; may be null
    const char* english = ""; // what the entry does, for the user guide
};

const std::vector<MenuItem>& menuTree();
// Whether entry i of the menu tree is a menu that holds entries: the next sits deeper.
bool holdsEntries(std::size_t i);

// A command of the menu tree with the captions (UTF-8) of the menus above it.
struct MenuCommand {
    std::vector<std::string> path;
    const MenuItem* item;
    // The menus above it, outermost first, joined by `separator`; empty on the menu bar.
    std::string pathText(const std::string& separator) const;
};
// The commands in menu order; menus that hold entries and separators are left out.
std::vector<MenuCommand> menuCommands();

// "Ctrl+Shift+F1" and the like; empty for no shortcut.
std::string shortcutText(const Shortcut& shortcut);

} // namespace quillory
