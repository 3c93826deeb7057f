#pragma once

#include "ChannelDatabase.h"
#include "ChannelFileKind.h"
#include "RowVerdict.h"

#include "RowChange.h"

#include <QAbstractTableModel>
#include <QFileSystemWatcher>
#include <QHash>
#include <QSet>
#include <QTimer>
#include <QUndoStack>
#include <optional>

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
//
// Row commands (insert, duplicate, delete, move, clear, paste) and typed edits
// are steps of history(): each is one transaction on the file, and one the file
// refuses leaves file and grid as they were and is reported through
// saveFailed(). The history starts afresh whenever a file is opened.
//
// The grid follows the file: when another program changes it (watched, and
// SQLite's data_version polled twice a second) the loaded rows are read again
// and only what differs is announced (no reset), so the current row and an
// open cell editor stay. A file replaced by another is opened anew; one
// replaced by something that holds no channel table leaves the grid stale():
// the old rows stay in sight but are neither changed nor sent until a channel
// table is back under the name. Rows others added or removed clear the
// history, whose steps name rows by position. An edit the file refused keeps
// the operator's value through a reload.
//
// Writes are optimistic: an edit or command first checks, in its own
// transaction, that the file still holds what the grid showed in the cells it
// replaces (and in the rows it moves or removes). If not, nothing is written
// and conflicted() asks the operator: keepFileValues() or useMine().
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
    QString saveError() const { return m_stale.isEmpty() ? m_db.errorString() : m_stale; }
    bool saveUnsaved();

    // Rows from `count` on are not sent: they are drawn muted, with a line
    // under the last one that is.
    void setSentRows(int count) { m_sentRows = count; }
    int sentRows() const { return m_sentRows; }
    // True on the cells of the last row that is sent.
    static constexpr int LastSentRole = Qt::UserRole + 1;
    // Set by the cell editor just before it commits: the text the cell showed
    // when editing began, which is what the edit replaces.
    static constexpr int ShownRole = Qt::UserRole + 2;

    // Reads the file again if another program changed or replaced it since;
    // cheap when nothing did. True when rows were read again.
    bool refresh();
    // Why the rows shown are no longer the file's, or empty when they are.
    QString stale() const { return m_stale; }
    // The answers to conflicted(): drop the operator's change and show the
    // file, or write the change over what the file holds.
    void keepFileValues();
    bool useMine();
    bool hasConflict() const { return m_conflict.has_value(); }

    // Why the rows cannot be changed now, or empty when they can: an Access
    // file, or `busy` while a transfer walks the rows.
    QString refusal() const;
    void setBusy(const QString &reason) { m_busy = reason; }
    static QString readOnlyMessage(const QString &fileName);

    QUndoStack *history() { return &m_history; }
    bool undo();
    bool redo();

    // The commands: each returns false, having said why, when nothing changed.
    bool insertRowAbove(int row);
    // Copies of `rows` below the last of them; false when none.
    bool duplicateRows(const QList<int> &rows);
    bool deleteRows(const QList<int> &rows);
    // `rows` one place up (-1) or down (+1); false when one is at the edge.
    bool moveRowsBy(const QList<int> &rows, int step);
    bool clearCells(const QModelIndexList &cells);
    // Typed texts from (row, column) right and down, rows added past the end;
    // columns past the last field are dropped and counted in `dropped`.
    bool paste(int row, int column, const QVector<QStringList> &block, int *dropped = nullptr);

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
    // A command was not even tried: refusal() says why.
    void refused(const QString &message);
    // Another program changed what an edit or command replaces; nothing was
    // written. The message shows the file's value and the operator's.
    void conflicted(const QString &message);
    // The file was replaced by one that holds no channel table; said once.
    void becameStale(const QString &message);

private:
    // Rows are read from the file this many at a time, on scrolling and on following it.
    static constexpr int pageSize = 256;
    static quint64 cellKey(int row, int column) { return quint64(row) << 3 | quint64(column); }
    bool write(int row, int column);
    void reset(const QString &path);
    void openJet(const JetReader &jet, const QString &jetTable);
    void fetchAll();
    bool nextRecordNumbers(int count, QVector<QVariant> *numbers);
    bool replay(int index, bool forward);
    bool mayChange();
    bool unsavedWritten(const QString &name);
    QString keyRefusal(const RowChange &change) const;
    bool editCell(int row, int column, const QVariant &before, const QVariant &value);
    bool run(const QString &name, RowChange change);
    bool apply(RowChange &change, bool forward, const QString &name = {}, int replayIndex = -1);
    bool fileAsShown(const RowChange &change, bool forward, QString *conflict);
    QString describeConflict(int row, int column, const QVariant &file, const QVariant &mine) const;
    void startFollowing();
    bool reopen(QString *error);
    void becomeStale(const QString &error);
    void reload();
    bool readLoaded(QVector<ChannelRow> *fresh);
    bool merge(const QVector<ChannelRow> &fresh);
    void updateLoaded(int at, const ChannelRow &fresh, const QHash<int, QVariant> &unsavedColumns);
    bool writeForward(RowChange &change, QVector<qint64> *keys);
    bool writeBackward(const RowChange &change);
    bool allocateKeys(RowChange &change, QVector<qint64> *keys);
    void showForward(RowChange &change, const QVector<qint64> &keys);
    void showBackward(const RowChange &change);
    void setCells(const RowChange &change, bool forward);
    void swapRows(int a, int b);
    void shiftLoadedKeys(qint64 from, qint64 to, qint64 by);
    void insertLoaded(int at, const QVector<ChannelRow> &rows);
    void removeLoaded(const QVector<int> &positions);
    QString caption(int column) const;

    ChannelDatabase m_db;
    RowCheck m_check;
    ChannelFileKind m_kind = ChannelFileKind::Missing;
    QString m_path;
    QString m_error;
    QString m_readError;
    bool m_open = false;
    bool m_readOnly = false;
    QVector<ChannelRow> m_rows;
    QHash<quint64, QVariant> m_unsaved;   // cell → the value its edit replaced
    bool m_complete = true;
    int m_sentRows = 0;
    QString m_busy;
    QString m_stale;
    QUndoStack m_history;

    struct Conflict
    {
        QString name;
        RowChange change;
        bool forward;
        int replayIndex;   // -1: a new step of the history
    };
    std::optional<Conflict> m_conflict;
    bool m_checking = true;
    QString m_shown;
    QModelIndex m_shownAt;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    qint64 m_version = -1;
    QByteArray m_identity;
};
