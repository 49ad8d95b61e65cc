#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Maps the "COM<n>" numbers the user sees to device paths (/dev/ttyUSB0, a pty, COM3 on
// Windows). Explicit assignments win; other ports get a number from their name.
class ComPortMap
{
public:
    // Entries "n=path" separated by ';' or newlines, e.g. "3=/dev/pts/4;7=/dev/ttyUSB0".
    static ComPortMap parse(const QString &text);
    // The assignments in the environment variable KT480_COM_MAP, if any.
    static ComPortMap fromEnvironment();

    void assign(int number, const QString &devicePath);
    void merge(const ComPortMap &other);
    QString toText() const;

    // The device path behind COM<number>; empty when unknown.
    QString devicePath(int number) const;
    // The number for a device path or port name; 0 when none can be given.
    int numberFor(const QString &devicePathOrName) const;
    // Every explicitly assigned number.
    QMap<int, QString> assignments() const { return byNumber_; }

private:
    QMap<int, QString> byNumber_;
};

// The port number of a name like "COM12" (its text from the fourth character on); 0 otherwise.
int ComPortNumber(const QString &portName);
