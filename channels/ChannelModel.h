#pragma once

#include "ChannelDatabase.h"
#include "ChannelFileKind.h"
#include "RowVerdict.h"

#include <QAbstractTableModel>
#include <QSet>

class JetReader;

// 信道表 as the grid and the transfer see it: five columns with the grid's
// captions, rows fetched page by page as they are needed.
//
// An Access (Jet) char4.mdb that an operator brings along is read whole and
// shown read-only; it sends like any other until it is converted.
//
// An edit is written to the file as soon as the operator leaves the cell, and
// addresses its row by key, so two identical rows stay two rows. An edit the file
// refuses (locked, read-only) keeps the operator's value in the grid, marked as
// unsaved, and is reported through saveFailed(); it is written with the next
// successful edit or by saveUnsaved(); only closing the window at the
// operator's word drops it.
class ChannelModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ChannelModel(QObject *parent = nullptr);

    // `jetTable` names the table to read from an Access file; always 信道表
    // but in tests of Access files that hold other tables.
    bool open(const QString &path, const QString &jetTable = ChannelDatabase::tableName);
    // An Access file whose reading in the background has ended.
    bool open(const QString &path, const JetReader &jet, const QString &jetTable = ChannelDatabase::tableName);
    bool isOpen() const { return m_open; }
    bool isReadOnly() const { return m_readOnly; }
    ChannelFileKind kind() const { return m_kind; }
    QString path() const { return m_path; }
    // The file's name alone, as messages name it ("char4.mdb", "plan.mdb").
    QString fileName() const;
    QString errorString() const { return m_error; }
    // Set when rows could not be read past some point: the table shown is short.
    QString readError() const { return m_readError; }

    // With a check, cells that keep their row from being sent are tinted and
    // say why, and each row header shows the frame the row will send.
    void setRowCheck(const RowCheck &check) { m_check = check; }

    // The row at `row`, fetching as far as needed; nullptr past the last row.
    const ChannelRow *rowAt(int row);

    // Every row, fetched to the end, five fields each: for export.
    QVector<QVariantList> allRows();
    // Replaces every row in one transaction, after copying the file to
    // char4.mdb.bak (char4.mdb.bak.2, … when taken). Unsaved edits are dropped.
    // On failure the file's rows are as they were.
    bool replaceAll(const QVector<QVariantList> &rows, QString *backup);

    int unsavedCount() const { return m_unsaved.size(); }
    // The rows holding an unsaved cell, in table order.
    QList<int> unsavedRows() const;
    QString saveError() const { return m_db.errorString(); }
    bool saveUnsaved();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex &parent = {}) const override;
    void fetchMore(const QModelIndex &parent = {}) override;

signals:
    // An edit could not be written; the message says which cell and why.
    void saveFailed(const QString &message);

private:
    static quint64 cellKey(int row, int column) { return quint64(row) << 3 | quint64(column); }
    bool write(int row, int column);
    void reset(const QString &path);
    void openJet(const JetReader &jet, const QString &jetTable);

    ChannelDatabase m_db;
    RowCheck m_check;
    ChannelFileKind m_kind = ChannelFileKind::Missing;
    QString m_path;
    QString m_error;
    QString m_readError;
    bool m_open = false;
    bool m_readOnly = false;
    QVector<ChannelRow> m_rows;
    QSet<quint64> m_unsaved;
    bool m_complete = true;
};
