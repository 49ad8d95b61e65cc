#pragma once

#include <QString>

// One row of the card table, every field as text.
struct CardRecord
{
    QString DataNO;   // card number, 7 digits ("0000012")
    QString DataID;   // card ID, 16 characters
    QString DataApp;  // application (group) number, 2 digits
    QString DataType; // card type, 1 digit
    QString DataPIN;  // 4 characters, digits or X
    QString DataAPB;  // anti-passback: 0 check, 1 no check

    bool operator==(const CardRecord &) const = default;
};
