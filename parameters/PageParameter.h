#pragma once

#include "TextRow.h"

#include <QList>
#include <QString>
#include <QStringList>

// One of the 22 parameters on the page "Special Parameter Setup": its number (the last
// digits of its code), the language row of its caption, the decimal texts its combo box
// lists, its factory default and the names of its two row buttons.
struct PageParameter
{
    int number = 0;
    TextRow captionRow = TextRow::ParamElevatorMode;
    int width = 1;   // every item has this many digits, leading zeros kept
    int lowest = 0;  // first item as a number
    int highest = 0; // last item as a number
    QString defaultValue;
    QString readButton;
    QString writeButton;

    QString code() const;
    QString item(int value) const;
    QStringList items() const;
    // True when the text is one of the combo items exactly (width and range).
    bool isItem(const QString &text) const;
};

// "AF" and the number as at least two digits: AF01, AF66, AF100.
QString ParamCode(int number);

// The page parameters in the order of "Read from device(All)" and "Write to device(All)".
const QList<PageParameter> &PageParameters();

// The page parameter with this number, or nullptr.
const PageParameter *FindPageParameter(int number);
// The page parameter with this code ("AF13"), or nullptr.
const PageParameter *FindPageParameter(const QString &code);
