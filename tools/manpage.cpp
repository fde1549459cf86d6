// quillory_manpage TEMPLATE OUTPUT: writes the manual page, with its KEYS section taken
// from the menu table at build time, so the page lists exactly the keys the program has.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Format.h"
#include "window/Menu.h"

namespace {

// Text as roff reads it literally: backslashes escaped, no control character at the start.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\e") : std::string(1, c);
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

// One subsection per menu, in menu order; each command is a tagged paragraph headed by
// its key.
std::string keysSection() {
    using namespace quillory;
    std::string text;
    std::string heading;
    for (const MenuCommand& command : menuCommands()) {
        const MenuItem& item = *command.item;
        const std::string caption = utf8(item.caption);
        std::string where = command.pathText(" > ");
        if (where.empty()) where = "Menu bar";
        if (where != heading) {
            text += ".SS \"" + roff(where) + "\"\n";
            heading = where;
        }
        const std::string key = shortcutText(item.shortcut);
        text += ".TP\n.B " + (key.empty() ? std::string("\\(em") : roff(key)) + "\n" +
                roff(caption) + " \\(em " + roff(item.english) + "\n";
    }
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: quillory_manpage TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string marker = ".\\\" keys:";
    std::string page, line;
    bool found = false;
    while (std::getline(in, line)) {
        if (line.rfind(marker, 0) == 0) {
            page += keysSection();
            found = true;
        } else {
            page += line + "\n";
        }
    }
    if (!found) {
        std::cerr << "no \"" << marker << "\" line in " << argv[1] << "\n";
        return 1;
    }
    std::ofstream out(argv[2]);
    out << page;
    return out.good() ? 0 : 1;
}
