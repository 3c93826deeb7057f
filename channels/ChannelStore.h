#pragma once

#include "CellsChange.h"
#include "ChannelDatabase.h"
#include "ChannelFileKind.h"
#include "LoadedRows.h"
#include "UnsavedCells.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>

class JetReader;
class RowChange;

// 信道表 as one open file holds it: the rows by key, read page by page as they
// are needed, shown as text in five columns with the grid's captions. The
// command line reads rows through it alone; the editor, the file follower and
// the grid's colours are built on top of it.
//
// An Access (Jet) char4.mdb that an operator brings along is read whole and
// kept read-only; it sends like any other until it is converted.
//
// Every write addresses rows by key, so two identical rows stay two rows, and
// is one transaction (write()). Writes are optimistic: the file must still hold
// what the rows showed in the cells a change replaces; if not, nothing is
// written and the caller hears how the file differs. The changes themselves
// say how they are checked, written and shown (RowChange); the store gives them
// the file and, once the file has them, its loaded rows (LoadedRows).
//
// An edit the file refused (locked, read-only) keeps the operator's value in
// the rows, marked as unsaved (markRefused()), until writeUnsaved() gets it
// into the file.
//
// A file replaced under its name by something that holds no channel table
// leaves the rows stale: kept in sight, but neither changed nor sent until a
// channel table is back (staleReason()).
class ChannelStore : public QAbstractTableModel, private LoadedRows
{
    Q_OBJECT
public:
    // How write() ended: in the file, refused by it, or not tried because the
    // file no longer holds what the rows showed.
    enum class Outcome { Written, Refused, Conflict };

    // Keeps the rows from being changed while it lives: a load sends them, a
    // fleet run sends them radio after radio, an Access file is read in their
    // place. Each holder has its own, so none can free the rows another still
    // needs; they are free again once no lock is held.
    class Lock
    {
    public:
        Lock() = default;
        Lock(Lock &&other) noexcept { *this = std::move(other); }
        Lock &operator=(Lock &&other) noexcept;
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;
        ~Lock() { release(); }

        bool isHeld() const { return m_id != 0; }
        void release();

    private:
        friend class ChannelStore;
        Lock(ChannelStore *store, int id) : m_store(store), m_id(id) {}

        QPointer<ChannelStore> m_store;
        int m_id = 0;
    };

    explicit ChannelStore(QObject *parent = nullptr);

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
    // The field that is the table's key, or -1 (see ChannelDatabase::keyField()).
    int keyField() const { return m_db.keyField(); }
    QStringList fieldNames() const { return m_db.fieldNames(); }

    // The row at `row`, fetching as far as needed; nullptr past the last row.
    const ChannelRow *rowAt(int row);
    void fetchAll();
    // Every row, fetched to the end, five fields each: for export.
    QVector<QVariantList> allRows();
    // The largest whole record number plus 1 … `count`; false having said why.
    bool nextRecordNumbers(int count, QVector<QVariant> *numbers);

    // Why the rows cannot be changed now, or empty when they can: no file, an
    // Access file, a stale grid, or the newest lock's reason.
    QString refusalReason() const;
    // `reason` is what an edit is told while the lock is held.
    [[nodiscard]] Lock lock(const QString &reason);
    static QString readOnlyMessage(const QString &fileName);
    // Why the rows shown are no longer the file's, or empty when they are.
    QString staleReason() const { return m_stale; }
    // Why the file refused the last write.
    QString saveError() const { return m_stale.isEmpty() ? m_db.errorString() : m_stale; }

    // Writes one command's `changes` (forward: do, else undo) in one
    // transaction, then shows them. With `checked`, the file must first hold
    // what the rows showed; a conflict is described in `conflict`.
    Outcome write(const QList<RowChange *> &changes, bool forward, bool checked = true, QString *conflict = nullptr);

    // The operator's value of a cell the file refused, and the value it replaces.
    void markRefused(int row, int column, const QVariant &value, const QVariant &before);
    bool isUnsaved(int row, int column) const;
    void dropUnsaved(int row, int column) { m_unsaved.drop(m_rows.at(row).key, column); }
    int unsavedCount() const { return m_unsaved.count(); }
    // The rows holding an unsaved cell, in table order.
    QList<int> unsavedRows() const;
    // Column → the value the edit replaced, for each unsaved cell of `row`.
    QHash<int, QVariant> unsavedCells(int row) const { return m_unsaved.ofRow(m_rows.at(row).key); }
    // Writes every unsaved cell, each checked against the value it replaced;
    // stops at the first the file refuses or that conflicts, which is `failed`.
    Outcome writeUnsaved(QString *conflict = nullptr, CellsChange::Cell *failed = nullptr);

    // Following the file: its change counter, reading the loaded rows again,
    // and the file under the name being another one now.
    bool dataVersion(qint64 *version) { return m_db.dataVersion(version); }
    // While held (the operator decides a conflict), the rows stay as they are.
    void hold(bool held);
    bool isHeld() const { return m_held; }
    void reload();
    bool reopen(QString *error);
    void becomeStale(const QString &error);
    // The file is gone from under its name: no file holds what the rows show.
    void becomeMissing();
    bool isMissing() const { return m_missing; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent = {}) const override;
    void fetchMore(const QModelIndex &parent = {}) override;

signals:
    // An edit could not be written, or an unsaved one was lost; says which and why.
    void saveFailed(const QString &message);
    // Rows other programs added or removed: positions known before are void.
    void rowsRelocated();
    // The file was replaced by one that holds no channel table; said once.
    void becameStale(const QString &message);
    // Holding has ended: whatever the file holds now should be read.
    void released();

private:
    // Rows are read from the file this many at a time, on scrolling and on following it.
    static constexpr int pageSize = 256;
    void reset(const QString &path);
    bool fileAsShown(FileRows &file, const QList<RowChange *> &changes, bool forward, QString *conflict);
    QVector<ChannelRow> &loaded() override { return m_rows; }
    void rowsChanged(int first, int last) override;
    void insertLoaded(int at, const QVector<ChannelRow> &rows) override;
    void removeLoaded(const QVector<int> &positions) override;
    bool readLoaded(QVector<ChannelRow> *fresh);
    bool merge(const QVector<ChannelRow> &fresh);
    void updateLoaded(int at, const ChannelRow &fresh);

    ChannelDatabase m_db;
    ChannelFileKind m_kind = ChannelFileKind::Missing;
    QString m_path;
    QString m_error;
    QString m_readError;
    bool m_open = false;
    bool m_readOnly = false;
    bool m_complete = true;
    bool m_held = false;
    bool m_missing = false;
    QVector<ChannelRow> m_rows;
    UnsavedCells m_unsaved;
    QVector<QPair<int, QString>> m_locks;   // id and reason, the newest last
    int m_lastLock = 0;
    QString m_stale;
};
