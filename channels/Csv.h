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

    // UTF-8 with or without a byte-order mark; blank lines are skipped. False
    // with a message naming the line (and column) for text that is not UTF-8,
    // holds NUL bytes, or leaves a quote open.
    static bool parse(const QByteArray &bytes, QVector<Record> *records, QString *error);

    // One field, quoted when asked or when its text needs it.
    static QString field(const QString &text, bool quote = false);
    // One record with its line end.
    static QString line(const QStringList &fields);
};
