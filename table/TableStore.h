#pragma once

#include "TableContent.h"
#include "TableResult.h"

#include <QHash>
#include <QObject>

// The in-memory table of the parameter, card and record windows, with the operations of a
// client dataset by their usual names. Rows are plain string lists, so bulk transfers of
// many thousand rows stay cheap.
//
// Cursor rules: First and Last set Bof and Eof; Next on the last row and Prior on the first
// leave the cursor and set Eof or Bof; an empty or inactive table is at Bof and Eof. Delete
// makes the following row current, or the new last row with Eof set when the last row went.
// A pending Edit or Append is posted before any move, save or further Append.
class TableStore : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };

    explicit TableStore(QObject *parent = nullptr);

    // Field definitions, changed only while the table is inactive. AddField refuses an
    // empty or duplicate name, a name a data packet cannot hold and a size below 1.
    bool ClearFields();
    bool AddField(const QString &name, int size, const QString &type = StringFieldType);
    const QList<TableField> &Fields() const { return content_.fields; }
    int FieldIndex(const QString &name) const { return fieldIndex_.value(name, -1); }

    // Activates an empty table with the current definitions; false without fields.
    bool CreateDataSet();
    // Deactivates the table and discards its rows; the definitions stay.
    void Close();

    bool Active() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    bool IsEmpty() const { return content_.rows.isEmpty(); }
    int RecordCount() const { return int(content_.rows.size()); }

    // Editing. Append opens a new row at the end (current, insert state, posted by Post);
    // Edit opens the current row. Values longer than their field are cut on Post.
    bool Append();
    bool Edit();
    bool Post();
    void Cancel();
    bool Delete();

    void First();
    void Prior();
    void Next();
    void Last();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    // 1-based number of the current row; 0 when there is none.
    int RecNo() const { return current_ + 1; }
    bool SetRecNo(int recNo);

    // Values of the current row by field name (the open edit buffer while editing).
    // Setting needs Edit or Append first; both refuse an unknown name.
    QString FieldText(const QString &name) const;
    bool SetFieldText(const QString &name, const QString &text);

    // Bulk access: appends a posted row (values in field order, cut to size) and makes it
    // current; reads a posted value by row and field index.
    bool AppendRow(const QStringList &values);
    QString Value(int row, int field) const;
    const TableContent &Content() const { return content_; }
    // Replaces definitions and rows and activates the table, cursor on the first row (CSV
    // import, file load). Values are kept as given; false for unusable field definitions.
    bool SetContent(TableContent content);

    // Whether a table without rows is written (a file that holds the fields and says "no
    // rows", in place of an earlier list) or refused.
    enum class Empty
    {
        Refused,
        Saved
    };
    // Writes the table as an XML data packet through a temporary file that replaces the
    // old one only when complete. An inactive table is not saved, an empty one as `empty` says.
    TableResult SaveToFile(const QString &path, Empty empty = Empty::Refused);
    // Replaces definitions and rows by those of the file and activates the table; a file
    // that cannot be read leaves the table as it was.
    TableResult LoadFromFile(const QString &path);

signals:
    void tableAboutToBeReset();
    void tableReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    // 0-based row of the cursor, -1 when there is none.
    void currentRowChanged(int row);

private:
    void RebuildFieldIndex();
    void PostPending();
    void MoveCursor(int row, bool bof, bool eof);
    QStringList Fitted(QStringList values) const;

    TableContent content_;
    QHash<QString, int> fieldIndex_;
    State state_ = State::Inactive;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    QStringList buffer_;
};
