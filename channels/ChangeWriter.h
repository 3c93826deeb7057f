#pragma once

#include "RowChange.h"

class ChannelDatabase;

// Puts one RowChange into the file in one transaction, rows addressed by the
// keys of the rows as loaded; a crash leaves the file before or after it.
//
// Checked, it first makes sure, inside the same transaction so that nobody can
// write between the look and the write, that the file still holds what the
// loaded rows show in every cell the change replaces and in every row it moves
// or removes. If not, nothing is written and the difference is described.
class ChangeWriter
{
public:
    // `complete`: every row of the file is loaded, so room for new keys may be
    // made below the insertion as well as above it.
    ChangeWriter(ChannelDatabase &db, const QVector<ChannelRow> &rows, bool complete, const QString &fileName);

    // False when nothing was written: `conflict` says how the file differs, or
    // is empty when the file refused. `keys` are those of the inserted rows.
    bool write(RowChange &change, bool forward, bool checked, QString *conflict, QVector<qint64> *keys);

private:
    bool fileAsShown(const RowChange &change, bool forward, QString *conflict);
    QList<int> wholeRows(const RowChange &change, bool forward) const;
    bool readAhead(int first, int last);
    bool fileRow(int row, ChannelRow *file, bool *found);
    QVector<ChannelRow> reordered(const RowChange &change, bool forward) const;
    QString describe(int row, int column, const QVariant &file, const QVariant &mine) const;
    bool writeForward(RowChange &change, QVector<qint64> *keys);
    bool writeBackward(const RowChange &change);
    bool allocateKeys(RowChange &change, QVector<qint64> *keys);
    qint64 key(int row) const { return m_rows.at(row).key; }

    ChannelDatabase &m_db;
    const QVector<ChannelRow> &m_rows;
    bool m_complete;
    QString m_fileName;
    QVector<ChannelRow> m_ahead;   // rows read ahead in key order, when m_readAhead
    bool m_readAhead = false;
};
