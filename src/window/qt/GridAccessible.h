#pragma once
// The grids as tables for assistive technology: 32 rows of 16 cells (one column for
// the addresses), each cell with its text, where its byte lies and whether it is
// marked. Qt asks for these objects only when assistive technology is listening.

class QAccessibleInterface;
class QObject;
class QString;

namespace quillory {

// Installed with QAccessible::installFactory; answers for GridView.
QAccessibleInterface* gridAccessibleFactory(const QString& className, QObject* object);

} // namespace quillory
