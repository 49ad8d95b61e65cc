#pragma once

#include <QColor>

// The background colours that tell the data grids' columns apart.
namespace GridColours {

inline const QColor MoneyGreen{192, 220, 192};
inline const QColor SkyBlue{166, 202, 240};

} // namespace GridColours
