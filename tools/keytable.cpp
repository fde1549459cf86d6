// quillory_keytable README.md: rewrites the key table between the markers
// "<!-- keys:begin -->" and "<!-- keys:end -->" from the menu table.

#include <fstream>
#include <iostream>
#include <sstream>

#include "window/Menu.h"

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
    readme.replace(b + begin.size(), e - b - begin.size(), quillory::keyTableMarkdown());
    std::ofstream(argv[1]) << readme;
    return 0;
}
