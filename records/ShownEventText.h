#pragma once

#include <QString>

// The status text of an event as the record window shows it. The table and the record file
// keep the stored English text; an event outside the catalogue, which carries this program's
// own wording ("Unknown event E9 channel 3"), is shown in the language of the window.
QString ShownEventText(const QString &stored);
