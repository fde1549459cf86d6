#include "window/Menu.h"

#include "core/Form1.h"
#include "core/Format.h"

namespace quillory {

const std::vector<MenuItem>& menuTree() {
    static const std::vector<MenuItem> items = {
        // clang-format off
        // level, name, index, caption, shortcut, handler, what it does
        {1, "文件",      -1, u"文件",               {},                [](Form1& f) { f.Renovate(); },   "File menu (opening it refreshes)"},
        {2, "Fnew",      -1, u"新建",               {1},               [](Form1& f) { f.Fnew(); },       "New: 512 zero bytes"},
        {2, "p1",        -1, u"-",                  {},                nullptr},
        {2, "Fopen",     -1, u"打开",               {2},               [](Form1& f) { f.Fopen(); },      "Open a file"},
        {2, "Fsave",     -1, u"保存",               {3},               [](Form1& f) { f.Fsave(); },      "Save"},
        {2, "FsaveAs",   -1, u"另存为",             {4},               [](Form1& f) { f.FsaveAs(); },    "Save as"},
        {2, "p2",        -1, u"-",                  {},                nullptr},
        {2, "Encrypt",   -1, u"加解密",             {9},               [](Form1& f) { f.Encrypt(); },    "Encrypt or decrypt with a key"},
        {1, "页次",      -1, u"页次",               {},                nullptr,                          "Pages menu"},
        {2, "PageNum",   0,  u"上一页",             {5},               [](Form1& f) { f.PageNum(0); },   "Previous page"},
        {2, "PageNum",   1,  u"下一页",             {6},               [](Form1& f) { f.PageNum(1); },   "Next page"},
        {2, "PageNum",   2,  u"自选页",             {7},               [](Form1& f) { f.PageNum(2); },   "Choose a page"},
        {1, "编辑",      -1, u"编辑",               {},                nullptr,                          "Edit menu"},
        {2, "CZ",        -1, u"查找",               {},                nullptr,                          "Find"},
        {3, "Hnext",     0,  u"查找数据出现次数",   {1, true},         [](Form1& f) { f.Hnext(0); },     "Count occurrences of the marked data"},
        {3, "Hnext",     1,  u"查找下一个",         {2, true},         [](Form1& f) { f.Hnext(1); },     "Find next"},
        {3, "p3",        -1, u"-",                  {},                nullptr},
        {3, "Hunt",      1,  u"按数字查找",         {3, true},         [](Form1& f) { f.Hunt(1); },      "Find hex digits"},
        {3, "Hunt",      2,  u"按Ansi字符查找",     {4, true},         [](Form1& f) { f.Hunt(2); },      "Find ANSI (GBK) characters"},
        {3, "Hunt",      3,  u"按Unicode字符查找",  {5, true},         [](Form1& f) { f.Hunt(3); },      "Find Unicode (UTF-16LE) characters"},
        {2, "TiH",       -1, u"替换",               {},                nullptr,                          "Replace"},
        {3, "KT",        -1, u"块替换",             {},                nullptr,                          "Block replace"},
        {4, "SwapCake",  0,  u"替换为相同字符(串)", {1, true, true},   [](Form1& f) { f.SwapCake(0); },  "Fill the block with a byte string"},
        {4, "SwapCake",  4,  u"仅替换指定数据",     {2, true, true},   [](Form1& f) { f.SwapCake(4); },  "Change one byte value in the block"},
        {3, "Swap",      1,  u"按数字替换",         {7, true},         [](Form1& f) { f.Swap(1); },      "Replace with hex digits"},
        {3, "Swap",      2,  u"按Ansi字符替换",     {8, true},         [](Form1& f) { f.Swap(2); },      "Replace with ANSI characters"},
        {3, "Swap",      3,  u"按Unicode字符替换",  {9, true},         [](Form1& f) { f.Swap(3); },      "Replace with Unicode characters"},
        {3, "p4",        -1, u"-",                  {},                nullptr},
        {3, "SwapNext",  0,  u"替换下一个",         {11, true},        [](Form1& f) { f.SwapNext(0); },  "Replace next"},
        {3, "SwapNext",  1,  u"替换全部选定数据",   {12, true},        [](Form1& f) { f.SwapNext(1); },  "Replace all further occurrences"},
        {2, "CR",        -1, u"插入",               {},                nullptr,                          "Insert"},
        {3, "Insert",    1,  u"插入数字",           {1, false, true},  [](Form1& f) { f.Insert(1); },    "Insert hex digits"},
        {3, "Insert",    2,  u"插入Ansi字符",       {2, false, true},  [](Form1& f) { f.Insert(2); },    "Insert ANSI characters"},
        {3, "Insert",    3,  u"插入Unicode字符",    {3, false, true},  [](Form1& f) { f.Insert(3); },    "Insert Unicode characters"},
        {2, "JSF",       -1, u"复制剪切",           {},                nullptr,                          "Copy and cut"},
        {3, "CopyOrCut", 0,  u"复制",               {5, false, true},  [](Form1& f) { f.CopyOrCut(0); }, "Copy as hex text"},
        {3, "CopyOrCut", 1,  u"剪切",               {9, false, true},  [](Form1& f) { f.CopyOrCut(1); }, "Cut as hex text"},
        {3, "p5",        -1, u"-",                  {},                nullptr},
        {3, "DelAll",    0,  u"删除下一个",         {11, false, true}, [](Form1& f) { f.DelAll(0); },    "Delete next occurrence of the cut data"},
        {3, "DelAll",    1,  u"删除全部选定数据",   {12, false, true}, [](Form1& f) { f.DelAll(1); },    "Delete all further occurrences"},
        {2, "p6",        -1, u"-",                  {},                nullptr},
        {2, "Quash",     -1, u"撤消\u3000",         {},                [](Form1& f) { f.Quash(); },      "Undo the last cut or insert"},
        {1, "Renovate",  -1, u"刷新",               {},                [](Form1& f) { f.Renovate(); },   "Refresh: clear the highlight"},
        {1, "Fhelp",     -1, u"帮助",               {},                [](Form1& f) { f.Fhelp(); },      "Help"},
        // clang-format on
    };
    return items;
}

bool holdsEntries(std::size_t i) {
    const std::vector<MenuItem>& items = menuTree();
    return i + 1 < items.size() && items[i + 1].level > items[i].level;
}

std::vector<MenuCommand> menuCommands() {
    std::vector<MenuCommand> commands;
    const std::vector<MenuItem>& items = menuTree();
    std::vector<std::string> path;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        path.resize(static_cast<std::size_t>(item.level - 1));
        if (holdsEntries(i))
            path.push_back(utf8(item.caption));
        else if (item.caption != u"-")
            commands.push_back({path, &item});
    }
    return commands;
}

std::string MenuCommand::pathText(const std::string& separator) const {
    std::string text;
    for (const std::string& menu : path)
        text += (text.empty() ? "" : separator) + menu;
    return text;
}

std::string shortcutText(const Shortcut& s) {
    if (s.functionKey == 0) return {};
    std::string text;
    if (s.ctrl) text += "Ctrl+";
    if (s.shift) text += "Shift+";
    return text + "F" + std::to_string(s.functionKey);
}

} // namespace quillory
