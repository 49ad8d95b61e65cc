#include "TableFileLimit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 Megabyte = 1024 * 1024;

TableResult TooLarge(const QString &path, qint64 size)
{
    return TableResult::Failure(
        QCoreApplication::translate(
            "TableFileLimit", "%1: the file holds %2 MB; table files above %3 MB are not read")
            .arg(path)
            .arg((size + Megabyte - 1) / Megabyte)
            .arg(MaxTableFileBytes / Megabyte));
}

} // namespace

TableResult ReadTableFile(const QString &path, QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return TableResult::Failure(
            QCoreApplication::translate("TableFileLimit", "%1: not a file").arg(path));
    if (info.size() > MaxTableFileBytes)
        return TooLarge(path, info.size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return TableResult::Failure(
            QCoreApplication::translate("TableFileLimit", "%1: cannot open the file: %2")
                .arg(path, file.errorString()));
    }
    // At most one byte beyond the limit, in case the file grew since it was looked at.
    bytes = file.read(MaxTableFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return TableResult::Failure(
            QCoreApplication::translate("TableFileLimit", "%1: cannot read the file: %2")
                .arg(path, file.errorString()));
    }
    if (bytes.size() > MaxTableFileBytes) {
        bytes.clear();
        return TooLarge(path, file.size());
    }
    return TableResult::Success();
}
