// The page view: the three grids and the status line for the page shown, and what a
// screen reader reads for each cell.

#include "core/Form1.h"

#include <algorithm>

#include "core/Format.h"
#include "platform/CodePage936.h"
#include "window/Layout.h"

namespace quillory {
namespace {

// Cell texts, built once: a redraw only copies short strings.
struct CellTexts {
    std::array<std::u16string, 256> hex;    // "00".."FF"
    std::array<std::u16string, 256> single; // character of a byte shown alone, then a space
    explicit CellTexts(const CodePage936& cp) {
        for (int b = 0; b < 256; ++b) {
            hex[b] = {kHexDigits[b >> 4], kHexDigits[b & 15]};
            single[b] = cp.byteChar(static_cast<std::uint8_t>(b)) + u" ";
        }
    }
};

const CellTexts& cellTexts(const CodePage936& cp) {
    static const CellTexts texts(cp);
    return texts;
}

const std::u16string kPairTail = u"  ";

} // namespace

void Form1::ShowPage() {
    const CodePage936& cp = platform.codePage();
    const CellTexts& texts = cellTexts(cp);
    int last = kPageSize - 1;
    int first = 0;

    AddressBox.clear();
    if (CurPage == LastPage && TailCount > 0) {
        last = TailCount - 1;
        for (int o = TailCount; o < kPageSize; ++o) {
            NumberBox.setText(OffsetToCell[o], kBlankHex);
            ChrBox.setText(OffsetToCell[o], kBlankChr);
        }
    }
    for (int r = 0; r < kGridRows; ++r)
        AddressBox.addItem(addressText(PageStart + kGridColumns * r));
    for (int o = 0; o <= last; ++o)
        NumberBox.setText(OffsetToCell[o], texts.hex[FileBytes[PageStart + o]]);

    if (FlipPending) {
        FlipPending = kFalse;
        CharPhase = CharPhase ? kFalse : kTrue;
        if (CharPhase) {
            first = 1;
            ChrBox.setText(0, kBlankChr);
        }
    }

    int o = first;
    while (o <= last) {
        const std::uint8_t b = FileBytes[PageStart + o];
        if (b >= 128 && PageStart + o < LastOffset && o < kPageSize - 1) {
            const std::uint8_t t = FileBytes[PageStart + o + 1];
            ChrBox.setText(OffsetToCell[o], cp.pairChar(b, t));
            ChrBox.setText(OffsetToCell[o + 1], kPairTail);
            o += 2;
        } else {
            ChrBox.setText(OffsetToCell[o], texts.single[b]);
            o += 1;
        }
    }

    showStatus();
}

void Form1::showStatus() {
    const std::int64_t length = static_cast<std::int64_t>(LastOffset) + 1;
    StateBar.setCaption(u"文件字节:" + groupedText(length) + u"( &&H" +
                        hexText(static_cast<std::uint32_t>(length)) + u") 总页数:" +
                        groupedText(LastPage + 1) + u" 当前页:" + groupedText(CurPage + 1));
}

void Form1::Renovate() {
    Selecting = kTrue;
    for (int k = 0; k < kPageSize; ++k) {
        ChrBox.setSelected(k, false);
        NumberBox.setSelected(k, false);
    }
    PickCount = 0;
    SelStart = kNone;
    Selecting = kFalse;
}

CellReading Form1::cellReading(const ListBox& grid, int cell) const {
    if (cell < 0 || cell >= grid.listCount()) return {};
    const std::u16string& text = grid.text(cell);
    if (&grid == &AddressBox) {
        const std::size_t digits = std::min(text.find_first_not_of(u' '), text.size());
        const std::u16string row = decText(cell + 1);
        return {text.substr(digits), u"第" + row + u"行"};
    }
    const int o = CellToOffset[cell];
    // Placeholders past the end read as empty, whatever they paint.
    if (static_cast<std::int64_t>(PageStart) + o > LastOffset) return {{}, u"文件末尾之后"};
    std::u16string description = offsetText(o);
    if (&grid == &NumberBox) return {text, description};

    // The second cell of a pair shows two spaces after a first cell whose character has
    // no padding space; a space byte shows two spaces after a padded character.
    const std::u16string* head = o > 0 ? &ChrBox.text(OffsetToCell[o - 1]) : nullptr;
    if (text == kPairTail && head && !head->empty() && head->back() != u' ')
        return {*head, u"双字节字符的第二字节；" + description};
    // A narrow character is padded with one space; a pair's first cell is not.
    const bool padded = text.size() > 1 && text.back() == u' ';
    return {padded ? text.substr(0, text.size() - 1) : text, description};
}

} // namespace quillory
