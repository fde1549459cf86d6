// quillory_keytable README.md: rewrites the key table between the markers
// "<!-- keys:begin -->" and "<!-- keys:end -->" from the menu table.

#include <fstream>
#include <iostream>
#include <sstream>

#include "core/Format.h"
#include "window/Menu.h"

namespace {

// The user guide's key table, generated from the menu table so the two cannot drift.
std::string keyTableMarkdown() {
    using namespace quillory;
    std::string table = "| 菜单 Menu | 命令 Command | 键 Key | What it does |\n|---|---|---|---|\n";
    for (const MenuCommand& command : menuCommands()) {
        const std::string where = command.pathText(" › ");
        const std::string key = shortcutText(command.item->shortcut);
        table += "| " + (where.empty() ? "—" : where) + " | " + utf8(command.item->caption) +
                 " | " + (key.empty() ? "—" : key) + " | " + command.item->english + " |\n";
    }
    return table;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: quillory_keytable README.md\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    std::string readme = text.str();
    const std::string begin = "<!-- keys:begin -->\n";
    const std::string end = "<!-- keys:end -->";
    const auto b = readme.find(begin);
    const auto e = readme.find(end);
    if (b == std::string::npos || e == std::string::npos || e < b) {
        std::cerr << "no key table markers in " << argv[1] << "\n";
        return 1;
    }
    readme.replace(b + begin.size(), e - b - begin.size(), keyTableMarkdown());
    std::ofstream(argv[1]) << readme;
    return 0;
}
