#include "search/Lookup.h"

#include <algorithm>

namespace quillory {

void detail::showOccurrence(Form1& form, std::int32_t result, std::int32_t dLen) {
    form.CurPage = form.PageStart / kPageSize;
    // The scroll bar's change handling follows the page when it differs.
    form.VscrollBar.setValue(form.CurPage);
    form.Renovate();
    form.ShowPage();
    // Each selection runs the character grid's click handling, which mirrors it into
    // the hex grid; Selecting keeps that from being taken for a user's click.
    form.Selecting = kTrue;
    const std::int32_t last = std::min(dLen, kPageSize - 1 - result);
    for (std::int32_t h = 0; h <= last; ++h)
        form.ChrBox.setSelected(form.OffsetToCell[result + h], true);
    form.Selecting = kFalse;
}

std::int32_t Form1::Lookup(std::int32_t QD, std::int32_t dLen, Flag BJ1) {
    return locate(*this, QD, BlockBytes, dLen, BJ1);
}

} // namespace quillory
