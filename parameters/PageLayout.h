#pragma once

#include <QList>
#include <QString>

// Where the page parameters stand on "Special Parameter Setup" and which of them a
// controller's firmware version hides.
namespace PageLayout {

// Parameter numbers of the left and right columns, top to bottom.
const QList<int> &LeftColumn();
const QList<int> &RightColumn();
// The parameter that sits alone below the button row.
inline constexpr int BottomRow = 16;

// Rows hidden when the version text holds "V4" in any case; they are still read and
// written by the bulk operations.
const QList<int> &RowsHiddenByV4();
bool IsV4Version(const QString &versionText);
bool RowVisible(int number, const QString &versionText);

} // namespace PageLayout
