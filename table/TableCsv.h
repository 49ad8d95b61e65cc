#pragma once

#include "TableResult.h"

#include <QByteArray>
#include <QString>

class TableStore;

// CSV form of a table (RFC 4180): UTF-8 without byte-order mark, CRLF line ends, a header
// row of field names, then the posted rows in table order. A value holding a comma, quote,
// CR or LF is quoted with quotes doubled; so is an empty value of a one-field table, whose
// line would otherwise be blank.
QByteArray TableToCsv(const TableStore &table);
TableResult WriteCsvFile(const TableStore &table, const QString &path);

// Reads CSV into the table, replacing its definitions and rows: all fields text, names
// from the header row. Field sizes: when the header names one of the program's known
// field lists, its sizes; otherwise DefaultCsvFieldSize; in both cases widened to the
// longest value so that nothing is cut. A byte-order mark and LF line ends are accepted;
// blank lines are skipped. Errors name the file and the line; the table is then unchanged.
inline constexpr int DefaultCsvFieldSize = 255;
TableResult ParseCsv(const QByteArray &bytes, const QString &fileName, TableStore &table);
TableResult ReadCsvFile(const QString &path, TableStore &table);
