#pragma once

#include "ChannelRow.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The channel file char4.mdb and its table 信道表, kept as an SQLite database.
// Opening never creates a file, and a file that is no database or lacks the table
// fails to open with a cause the operator can read (errorString()); what kind of
// file it is at all is ChannelFileKind's to tell first.
// Rows come in storage order and are read in pages, so a large table costs
// nothing until it is scrolled.
class ChannelDatabase
{
public:
    static const QString defaultFileName;   // "char4.mdb"
    static const QString tableName;         // "信道表"

    ChannelDatabase();
    ~ChannelDatabase();
    ChannelDatabase(const ChannelDatabase &) = delete;
    ChannelDatabase &operator=(const ChannelDatabase &) = delete;

    bool open(const QString &path);
    // Makes a new channel file at `path` (which must not hold a database yet)
    // with a table 信道表 of these fields and rows, in one transaction. Values go
    // in with their kind: numbers as numbers, texts as texts.
    static bool create(const QString &path, const QStringList &fields,
                       const QVector<QVariantList> &rows, QString *error);
    void close();
    bool isOpen() const { return m_open; }
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    // The table's own names of its first five fields, in table order.
    QStringList fieldNames() const { return m_fields; }

    // Up to `limit` rows whose key follows `afterKey`; false with errorString()
    // when the file cannot be read.
    bool rowsAfter(qint64 afterKey, int limit, QVector<ChannelRow> *rows);
    // Writes one field of one row; false with errorString() when the file refuses.
    bool update(qint64 key, int position, const QVariant &value);
    // Replaces every row of the table by these (five fields each), in one
    // transaction: on failure the table is as it was.
    bool replaceAll(const QVector<QVariantList> &rows);

private:
    bool fail(const QString &cause);
    QString column(int position) const;

    QString m_connection;
    QString m_path;
    QString m_error;
    QStringList m_fields;
    bool m_open = false;
};
