#pragma once

#include <QByteArray>

class TableStore;

// The table as compact UTF-8 JSON, fields and rows in table order, every value a string:
// {"fields":[{"name":"DataType","type":"string","width":10},...],
//  "rows":[{"DataType":"AF13","DataVaue":"120"},...]}
QByteArray TableToJson(const TableStore &table);
