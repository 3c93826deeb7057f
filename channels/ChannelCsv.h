#pragma once

#include "ImportedRows.h"

#include <QByteArray>
#include <QVariant>

// 信道表 as CSV: UTF-8 with a byte-order mark (so spreadsheet programs on
// Chinese Windows read it), the five field names as header, "." as decimal
// point. Texts are always quoted and numbers never, so that each value comes
// back with its kind; an empty unquoted field is null. Numbers are written in
// the shortest form that reads back to the same value.
class ChannelCsv
{
public:
    static QByteArray write(const QVector<QVariantList> &rows);
    // False with a message naming line and column; nothing is half-read.
    static bool read(const QByteArray &bytes, ImportedRows *out, QString *error);
    static QStringList header();
    // One value as write() puts it: a text quoted, a number bare, null empty.
    static QString value(const QVariant &value);
};
