#pragma once
// Geometry of the main window's two layouts, in twips (15 twips to a pixel at 96 dpi).
// The painter and the mouse read-out both take the grid cells from here, so the
// tooltip always names the cell under the pointer.

namespace quillory {

constexpr double kTwipsPerPixel = 15.0;
constexpr int kGridRows = 32;
constexpr int kGridColumns = 16;

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
// keeps its designed height so its foot stays clear of the status line.
constexpr Layout kNormalLayout{
    9540,
    7620,
    {0, 0, 855, 32 * 225},
    {840, 0, 5595, 32 * 225},
    {6345, 0, 3000, 32 * 225},
    {9260, 0, 300, 7260},
    0,
    7300,
    9,
    9,
    225,
    344,
    180,
};

constexpr Layout kLargeLayout{
    12450,
    9600,
    {0, 0, 1000, 32 * 285},
    {1000, 0, 7020, 32 * 285},
    {7920, 0, 4170, 32 * 285},
    {12030, 0, 400, 9140},
    0,
    9240,
    12,
    12,
    285,
    430,
    255,
};

inline const Layout& layoutFor(bool large) {
    return large ? kLargeLayout : kNormalLayout;
}

} // namespace quillory
