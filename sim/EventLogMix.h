#pragma once

#include <QByteArray>
#include <QList>

// An event log as a controller on site fills it: every kind of event the controller knows,
// both reply layouts (4- and 7-digit card numbers), doors on channel digits 1 to 8, alarm
// points with their numbers, and now and then what a reader must still keep: an event kind
// it does not know and door events on channel digits 0 and 9. Record pointers run from 1;
// times rise from 22 September 2008 14:05:09. The same seed gives the same log.
QList<QByteArray> MixedEventLog(int count, quint32 seed = 1);
