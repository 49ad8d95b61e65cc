#pragma once

class QSaveFile;

// Puts a QSaveFile in place only when every byte reached the file. QSaveFile::commit() (Qt
// 6.4) reports success although data still held in its write buffer could not be written (a
// full disk), and the old file is replaced by a short one; a flush of its own shows that
// failure, and the old file stays.
bool CommitWhole(QSaveFile &file);

class QFileDevice;
class QString;

// Why a write to the file failed, in words. A short write (a full disk, or a file larger than
// the process may write) leaves no reason behind, and Qt says "Unknown error": then this says
// what a short write means.
QString WriteFailureText(const QFileDevice &file);
