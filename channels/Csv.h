#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Comma-separated text as RFC 4180 has it: fields in double quotes may hold
// commas, quotes (doubled) and line breaks; lines end in CRLF or LF. Whether a
// field was quoted is kept, because our channel files tell texts from numbers
// by it.
class Csv
{
public:
    struct Record
    {
        int line = 0;              // where the record starts, from 1
        QStringList fields;
        QVector<bool> quoted;
    };

    // The text of a CSV file as spreadsheet programs save it: UTF-16 or UTF-8
    // by its byte-order mark, else UTF-8 when the bytes are valid UTF-8, else
    // GBK/GB18030 (Excel on Chinese Windows). `encoding` names the one used.
    // A null string with a message naming the line for bytes that are none of
    // these or hold NUL bytes outside UTF-16.
    static QString decode(const QByteArray &bytes, QString *encoding, QString *error);

    // Text as decode() reads it; blank lines are skipped. False with a message
    // naming the line (and column) for text that cannot be decoded or leaves a
    // quote open.
    static bool parse(const QByteArray &bytes, QVector<Record> *records, QString *error);

    // One field, quoted when asked or when its text needs it.
    static QString field(const QString &text, bool quote = false);
    // One record with its line end.
    static QString line(const QStringList &fields);
};
