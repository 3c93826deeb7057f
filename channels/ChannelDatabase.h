#pragma once

#include "ChannelRow.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <memory>

class QSqlQuery;

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
    // The field that is the table's key (declared INTEGER PRIMARY KEY), whose
    // value is the row's place in the table; -1 when the key is none of the five.
    int keyField() const { return m_keyField; }

    // Up to `limit` rows whose key follows `afterKey`; false with errorString()
    // when the file cannot be read.
    bool rowsAfter(qint64 afterKey, int limit, QVector<ChannelRow> *rows);
    // The row with this key as the file holds it now; `found` false when none.
    bool rowByKey(qint64 key, ChannelRow *row, bool *found);
    // SQLite's count of commits by other connections: it moves only when some
    // other program (or connection) changed the file.
    bool dataVersion(qint64 *version);
    // Writes one field of one row; false with errorString() when the file refuses.
    bool update(qint64 key, int position, const QVariant &value);
    // Replaces every row of the table by these (five fields each), in one
    // transaction: on failure the table is as it was.
    bool replaceAll(const QVector<QVariantList> &rows);

    // Row commands: one transaction each, so the file is left before or after
    // a command, never between. The table's row order is its rowid order, so
    // rows are placed by the key they are given.
    bool begin();
    bool commit();
    void rollback();
    // The largest key in the table, 0 when it is empty.
    bool largestKey(qint64 *key);
    // The largest record number that is a whole number, 0 when there is none.
    bool largestRecordNumber(qint64 *number);
    bool insert(qint64 key, const std::array<QVariant, ChannelRow::fieldCount> &values);
    bool remove(qint64 key);
    // Each row's five fields replaced, the key kept: one statement for them all.
    bool updateRows(const QVector<ChannelRow> &rows);
    // Every row whose key lies from `from` to `to` moves `by` keys on; the
    // keys they move into must be free.
    bool shiftKeys(qint64 from, qint64 to, qint64 by);
    // Two rows trade places, each record whole with its stored kinds.
    bool swapKeys(qint64 a, qint64 b);

private:
    bool fail(const QString &cause);
    bool exec(const QString &sql, const QVariantList &values = {});
    QString columnList() const;
    QString column(int position) const;

    QString m_connection;
    QString m_path;
    QString m_error;
    QStringList m_fields;
    bool m_open = false;
    int m_keyField = -1;
    // One prepared UPDATE per field, kept while the file is open: a paste or
    // a fill writes thousands of cells, and preparing each anew costs more
    // than writing it.
    std::array<std::unique_ptr<QSqlQuery>, ChannelRow::fieldCount> m_updates;
};
