#pragma once

class QAbstractButton;
class QString;

// The words of a button that shows only an icon: its hint, and the name a screen reader says
// and a test finds it by. Set again with every language change. Accelerator marks ("&E") are
// left out: neither a hint nor a spoken name shows them.
void SetIconButtonText(QAbstractButton *button, const QString &text);
