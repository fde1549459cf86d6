#pragma once
// The grids as tables for assistive technology: 32 rows of 16 cells (one column for
// the addresses), each cell with its text, where its byte lies and whether it is
// marked. Qt asks for these objects only when assistive technology is listening.

#include <utility>
#include <vector>

#include "core/Controls.h"

namespace quillory {

class GridView;

// Makes Qt ask here for the grids' accessible objects, and starts watching whether
// assistive technology listens; once a process, whatever the number of calls.
void installGridAccessibility();
// Whether assistive technology listens: only then are changes worth reporting.
bool accessibilityListening();
// Tells assistive technology what changed in the grid since the last report: the whole
// grid, or the cells listed. More than a few cells go as one change of the table.
void announceGridChanges(GridView& grid, bool all,
                         const std::vector<std::pair<int, ListBox::Change>>& cells);

} // namespace quillory
