#include "TableStore.h"

#include "DataPacketReader.h"
#include "DataPacketWriter.h"
#include "TableFileLimit.h"
#include "WholeFileCommit.h"

#include <QSaveFile>

TableStore::TableStore(QObject *parent) : QObject(parent) {}

bool TableStore::ClearFields()
{
    if (Active())
        return false;
    content_.fields.clear();
    fieldIndex_.clear();
    return true;
}

bool TableStore::AddField(const QString &name, int size, const QString &type)
{
    if (Active() || size < 1 || !IsStorableFieldName(name) || fieldIndex_.contains(name))
        return false;
    content_.fields.append(TableField{name, size, type});
    fieldIndex_.insert(name, int(content_.fields.size() - 1));
    return true;
}

bool TableStore::CreateDataSet()
{
    if (content_.fields.isEmpty())
        return false;
    emit tableAboutToBeReset();
    content_.rows.clear();
    buffer_.clear();
    state_ = State::Browse;
    current_ = -1;
    bof_ = eof_ = true;
    emit tableReset();
    emit currentRowChanged(current_);
    return true;
}

void TableStore::Close()
{
    emit tableAboutToBeReset();
    content_.rows.clear();
    content_.rows.squeeze();
    buffer_.clear();
    state_ = State::Inactive;
    current_ = -1;
    bof_ = eof_ = true;
    emit tableReset();
    emit currentRowChanged(current_);
}

bool TableStore::Append()
{
    if (!Active())
        return false;
    PostPending();
    buffer_ = QStringList(content_.fields.size());
    state_ = State::Insert;
    return true;
}

bool TableStore::Edit()
{
    if (state_ == State::Edit || state_ == State::Insert)
        return true;
    if (state_ != State::Browse || current_ < 0)
        return false;
    buffer_ = content_.rows.at(current_);
    state_ = State::Edit;
    return true;
}

bool TableStore::Post()
{
    if (state_ == State::Edit) {
        content_.rows[current_] = Fitted(std::move(buffer_));
        buffer_.clear();
        state_ = State::Browse;
        emit rowChanged(current_);
        return true;
    }
    if (state_ == State::Insert) {
        const int row = RecordCount();
        emit rowAboutToBeInserted(row);
        content_.rows.append(Fitted(std::move(buffer_)));
        buffer_.clear();
        state_ = State::Browse;
        emit rowInserted(row);
        MoveCursor(row, false, false);
        return true;
    }
    return false;
}

void TableStore::Cancel()
{
    if (state_ == State::Edit || state_ == State::Insert) {
        buffer_.clear();
        state_ = State::Browse;
    }
}

bool TableStore::Delete()
{
    if (state_ == State::Insert) {
        Cancel();
        return true;
    }
    Cancel();
    if (!Active() || current_ < 0)
        return false;
    const int row = current_;
    emit rowAboutToBeRemoved(row);
    content_.rows.removeAt(row);
    emit rowRemoved(row);
    const int count = RecordCount();
    if (count == 0)
        MoveCursor(-1, true, true);
    else if (row < count)
        MoveCursor(row, false, false);
    else
        MoveCursor(count - 1, false, true);
    return true;
}

void TableStore::First()
{
    if (!Active())
        return;
    PostPending();
    if (IsEmpty())
        MoveCursor(-1, true, true);
    else
        MoveCursor(0, true, false);
}

void TableStore::Prior()
{
    if (!Active())
        return;
    PostPending();
    if (IsEmpty())
        MoveCursor(-1, true, true);
    else if (current_ > 0)
        MoveCursor(current_ - 1, false, false);
    else
        bof_ = true;
}

void TableStore::Next()
{
    if (!Active())
        return;
    PostPending();
    if (IsEmpty())
        MoveCursor(-1, true, true);
    else if (current_ < RecordCount() - 1)
        MoveCursor(current_ + 1, false, false);
    else
        eof_ = true;
}

void TableStore::Last()
{
    if (!Active())
        return;
    PostPending();
    if (IsEmpty())
        MoveCursor(-1, true, true);
    else
        MoveCursor(RecordCount() - 1, false, true);
}

bool TableStore::SetRecNo(int recNo)
{
    if (!Active() || recNo < 1 || recNo > RecordCount())
        return false;
    PostPending();
    MoveCursor(recNo - 1, false, false);
    return true;
}

QString TableStore::FieldText(const QString &name) const
{
    const int index = FieldIndex(name);
    if (index < 0)
        return QString();
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer_.at(index);
    return Value(current_, index);
}

bool TableStore::SetFieldText(const QString &name, const QString &text)
{
    const int index = FieldIndex(name);
    if (index < 0 || (state_ != State::Edit && state_ != State::Insert))
        return false;
    buffer_[index] = text;
    return true;
}

bool TableStore::AppendRow(const QStringList &values)
{
    if (!Active())
        return false;
    PostPending();
    const int row = RecordCount();
    emit rowAboutToBeInserted(row);
    content_.rows.append(Fitted(values));
    emit rowInserted(row);
    MoveCursor(row, false, false);
    return true;
}

QString TableStore::Value(int row, int field) const
{
    if (row < 0 || row >= RecordCount() || field < 0 || field >= content_.fields.size())
        return QString();
    return content_.rows.at(row).at(field);
}

bool TableStore::SetContent(TableContent content)
{
    if (content.fields.isEmpty())
        return false;
    for (int i = 0; i < content.fields.size(); ++i) {
        const TableField &field = content.fields.at(i);
        if (field.size < 0 || !IsStorableFieldName(field.name) ||
            content.FieldIndex(field.name) != i)
            return false;
    }
    for (QStringList &row : content.rows)
        row.resize(content.fields.size());
    emit tableAboutToBeReset();
    content_ = std::move(content);
    RebuildFieldIndex();
    buffer_.clear();
    state_ = State::Browse;
    current_ = IsEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = IsEmpty();
    emit tableReset();
    emit currentRowChanged(current_);
    return true;
}

TableResult TableStore::SaveToFile(const QString &path, Empty empty)
{
    PostPending();
    if (!Active() || (IsEmpty() && empty == Empty::Refused)) {
        return TableResult::Failure(
            tr("%1: nothing to save (the table is inactive or empty)").arg(path));
    }
    // Checked before the file is opened, so that an earlier file stays as it was.
    const QString problem = DataPacketProblem(content_);
    if (!problem.isEmpty())
        return TableResult::Failure(tr("%1: cannot be saved: %2").arg(path, problem));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return TableResult::Failure(
            tr("%1: cannot write the file: %2").arg(path, file.errorString()));
    }
    if (!WriteDataPacket(content_, file)) {
        const QString reason = WriteFailureText(file);
        file.cancelWriting();
        return TableResult::Failure(tr("%1: cannot write the file: %2").arg(path, reason));
    }
    if (!CommitWhole(file)) {
        return TableResult::Failure(
            tr("%1: cannot complete the file: %2").arg(path, WriteFailureText(file)));
    }
    return TableResult::Success();
}

TableResult TableStore::LoadFromFile(const QString &path)
{
    QByteArray bytes;
    const TableResult file = ReadTableFile(path, bytes);
    if (!file)
        return file;
    TableContent content;
    const TableResult read = ReadDataPacket(bytes, path, content);
    if (!read)
        return read;
    if (!SetContent(std::move(content)))
        return TableResult::Failure(tr("%1: the field definitions are unusable").arg(path));
    return TableResult::Success();
}

void TableStore::RebuildFieldIndex()
{
    fieldIndex_.clear();
    for (int i = 0; i < content_.fields.size(); ++i)
        fieldIndex_.insert(content_.fields.at(i).name, i);
}

void TableStore::PostPending()
{
    if (state_ == State::Edit || state_ == State::Insert)
        Post();
}

void TableStore::MoveCursor(int row, bool bof, bool eof)
{
    bof_ = bof;
    eof_ = eof;
    if (row == current_)
        return;
    current_ = row;
    emit currentRowChanged(current_);
}

QStringList TableStore::Fitted(QStringList values) const
{
    values.resize(content_.fields.size());
    for (int i = 0; i < values.size(); ++i)
        values[i] = CutToFieldSize(values.at(i), content_.fields.at(i));
    return values;
}
