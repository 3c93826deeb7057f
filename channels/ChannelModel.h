#pragma once

#include "channels/ChannelDatabase.h"

#include <QAbstractTableModel>
#include <QSet>

// 信道表 as the grid and the transfer see it: five columns with the grid's
// captions, rows fetched page by page as they are needed.
//
// An edit is written to the file as soon as the operator leaves the cell, and
// addresses its row by key, so two identical rows stay two rows. An edit the file
// refuses (locked, read-only) keeps the operator's value in the grid, marked as
// unsaved, and is reported through saveFailed(); it is written with the next
// successful edit or by saveUnsaved(), and only discardUnsaved() drops it.
class ChannelModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ChannelModel(QObject *parent = nullptr);

    bool open(const QString &path);
    bool isOpen() const { return m_db.isOpen(); }
    QString path() const { return m_db.path(); }
    QString errorString() const { return m_db.errorString(); }

    // The row at `row`, fetching as far as needed; nullptr past the last row.
    const ChannelRow *rowAt(int row);

    int unsavedCount() const { return m_unsaved.size(); }
    bool saveUnsaved();
    void discardUnsaved();

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

    ChannelDatabase m_db;
    QVector<ChannelRow> m_rows;
    QSet<quint64> m_unsaved;
    bool m_complete = true;
};
