#pragma once

#include <QString>

class QHeaderView;

namespace cdk {

class clsSettings;

// Column widths and display order of a grid, kept in the "Columns" section
// as gridName + "SizeColumn" + n and gridName + "OrderColumn" + n, n being
// the 1-based logical column and the order the 1-based display position.
void SaveSGridColumns(clsSettings &settings, const QHeaderView *header, const QString &gridName);

// Applies the stored widths and order; missing, zero, negative or
// out-of-range values leave that column as it is.
void LoadSGridColumns(clsSettings &settings, QHeaderView *header, const QString &gridName);

} // namespace cdk
