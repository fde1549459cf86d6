#pragma once
// Geometry of the main window's and the prompt dialog's two layouts, in twips. The
// painter and the mouse read-out both take the grid cells from here, so the tooltip
// always names the cell under the pointer.

#include "platform/Twips.h"

namespace quillory {

// Nearest whole pixel of a length in twips.
constexpr int twipsToPixels(int twips) {
    return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}

constexpr int kGridRows = 32;
constexpr int kGridColumns = 16;

// The grids fill column by column: cell k sits in row k % kGridRows of column
// k / kGridRows, while a page's offsets run row by row, kGridColumns to a row.
constexpr int cellIndex(int row, int column) {
    return column * kGridRows + row;
}
constexpr int cellRow(int k) {
    return k % kGridRows;
}
constexpr int cellColumn(int k) {
    return k / kGridRows;
}

struct Rect {
    int left, top, width, height;
};

struct Layout {
    int clientWidth, clientHeight;
    Rect addressBox, numberBox, chrBox, scrollBar;
    int stateLeft, stateTop;
    int listFontPoints, stateFontPoints;
    int rowHeight, hexCellWidth, chrCellWidth;
};

// Grids are exactly 32 rows tall; the status line sits below them. The scroll bar
// stops short of the status line so its foot stays clear of it.
constexpr Layout kNormalLayout{
    .clientWidth = 9540,
    .clientHeight = 7620,
    .addressBox = {.left = 0, .top = 0, .width = 855, .height = kGridRows * 225},
    .numberBox = {.left = 840, .top = 0, .width = 5595, .height = kGridRows * 225},
    .chrBox = {.left = 6345, .top = 0, .width = 3000, .height = kGridRows * 225},
    .scrollBar = {.left = 9260, .top = 0, .width = 300, .height = 7260},
    .stateLeft = 0,
    .stateTop = 7300,
    .listFontPoints = 9,
    .stateFontPoints = 9,
    .rowHeight = 225,
    .hexCellWidth = 344,
    .chrCellWidth = 180,
};

constexpr Layout kLargeLayout{
    .clientWidth = 12450,
    .clientHeight = 9600,
    .addressBox = {.left = 0, .top = 0, .width = 1000, .height = kGridRows * 285},
    .numberBox = {.left = 1000, .top = 0, .width = 7020, .height = kGridRows * 285},
    .chrBox = {.left = 7920, .top = 0, .width = 4170, .height = kGridRows * 285},
    .scrollBar = {.left = 12030, .top = 0, .width = 400, .height = 9140},
    .stateLeft = 0,
    .stateTop = 9240,
    .listFontPoints = 12,
    .stateFontPoints = 12,
    .rowHeight = 285,
    .hexCellWidth = 430,
    .chrCellWidth = 255,
};

inline const Layout& layoutFor(bool large) {
    return large ? kLargeLayout : kNormalLayout;
}

// The prompt dialog's inside. The large dialog is 5970 x 2900 outside; its inside keeps
// the frame's share off that.
struct PromptLayout {
    int clientWidth, clientHeight;
    int labelTop, textTop, textHeight;
    int okLeft, cancelLeft, buttonTop, buttonWidth, buttonHeight;
    int fontPoints;
};

constexpr PromptLayout kNormalPrompt{
    .clientWidth = 4500,
    .clientHeight = 2000,
    .labelTop = 50,
    .textTop = 450,
    .textHeight = 1000,
    .okLeft = 720,
    .cancelLeft = 2880,
    .buttonTop = 1500,
    .buttonWidth = 1000,
    .buttonHeight = 375,
    .fontPoints = 9,
};

constexpr PromptLayout kLargePrompt{
    .clientWidth = 5850,
    .clientHeight = 2520,
    .labelTop = 50,
    .textTop = 580,
    .textHeight = 1300,
    .okLeft = 720,
    .cancelLeft = 3680,
    .buttonTop = 2000,
    .buttonWidth = 1000,
    .buttonHeight = 450,
    .fontPoints = 12,
};

inline const PromptLayout& promptLayoutFor(bool large) {
    return large ? kLargePrompt : kNormalPrompt;
}

} // namespace quillory
