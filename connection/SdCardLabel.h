#pragma once

#include <QString>

// The capacity label shown after "SD CARD Backup/Restore", e.g. "[128MB]" or "[2.0GB]";
// empty when the controller reports no card (0 sectors).
QString SdCardLabelForSectors(qint64 sectors);

// The label from an accepted "AN" reply: characters 6 to 12 are the 512-byte sector count.
// Empty when the reply is too short or the count is not a positive number.
QString SdCardLabelFromReply(const QString &replyText);
