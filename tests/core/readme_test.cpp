// The README's key table is the menu table's: regenerate and compare.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "window/Menu.h"

namespace quillory {
namespace {

TEST(Readme, KeyTableMatchesTheMenu) {
    std::ifstream in(QUILLORY_SOURCE_DIR "/README.md");
    ASSERT_TRUE(in) << "README.md not found";
    std::stringstream text;
    text << in.rdbuf();
    const std::string readme = text.str();
    const std::string begin = "<!-- keys:begin -->\n";
    const auto b = readme.find(begin);
    const auto e = readme.find("<!-- keys:end -->");
    ASSERT_NE(b, std::string::npos);
    ASSERT_NE(e, std::string::npos);
    EXPECT_EQ(readme.substr(b + begin.size(), e - b - begin.size()), keyTableMarkdown())
        << "run quillory_keytable README.md";
}

TEST(Readme, KeyTableListsEveryCommandOnce) {
    const std::string table = keyTableMarkdown();
    for (const char* row :
         {"| 文件 | 新建 | F1 |", "| 编辑 › 替换 › 块替换 | 仅替换指定数据 | Ctrl+Shift+F2 |",
          "| 编辑 › 复制剪切 | 剪切 | Shift+F9 |", "| — | 帮助 | — |"})
        EXPECT_NE(table.find(row), std::string::npos) << row;
    // 30 commands, a header and its rule.
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 32);
}

} // namespace
} // namespace quillory
