#include "ChannelStore.h"

#include "ChangeCheck.h"
#include "FieldValue.h"
#include "JetReader.h"
#include "RowChange.h"
#include "RowMerge.h"

#include <QFileInfo>

#include <algorithm>
#include <numeric>
#include <utility>

ChannelStore::ChannelStore(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ChannelStore::reset(const QString &path)
{
    m_rows.clear();
    m_unsaved.clear();
    m_db.close();
    m_path = path;
    m_readError.clear();
    m_stale.clear();
    m_missing = false;
    m_readOnly = false;
    m_complete = true;
    m_held = false;
    m_kind = channelFileKind(path);
    m_error = unusableReason(m_kind);
}

bool ChannelStore::open(const QString &path, const QString &jetTable)
{
    if (isJet(channelFileKind(path))) {
        JetReader jet;
        jet.read(path, jetTable);
        return open(path, jet, jetTable);
    }
    beginResetModel();
    reset(path);
    if (m_error.isEmpty()) {
        if (m_db.open(path))
            m_complete = false;
        else
            m_error = m_db.errorString();
    }
    m_open = m_error.isEmpty();
    endResetModel();
    fetchMore();
    // A damaged file can pass the opening and fail on its first page of rows.
    if (m_open && !m_readError.isEmpty()) {
        beginResetModel();
        m_rows.clear();
        m_complete = true;
        m_open = false;
        m_error = m_readError;
        m_db.close();
        endResetModel();
    }
    return m_open;
}

bool ChannelStore::open(const QString &path, const JetReader &jet, const QString &jetTable)
{
    beginResetModel();
    reset(path);
    if (m_error.isEmpty() && jet.channelRows(jetTable, &m_rows, &m_error))
        m_readOnly = true;
    m_open = m_error.isEmpty();
    endResetModel();
    return m_open;
}

QString ChannelStore::fileName() const
{
    return QFileInfo(m_path).fileName();
}

int ChannelStore::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int ChannelStore::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ChannelRow::fieldCount;
}

bool ChannelStore::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_complete;
}

void ChannelStore::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const qint64 after = m_rows.isEmpty() ? std::numeric_limits<qint64>::min() : m_rows.last().key;
    QVector<ChannelRow> page;
    if (!m_db.rowsAfter(after, pageSize, &page))
        m_readError = QStringLiteral("文件已损坏（%1）").arg(m_db.errorString());
    m_complete = page.size() < pageSize || !m_readError.isEmpty();
    if (page.isEmpty())
        return;
    beginInsertRows({}, m_rows.size(), m_rows.size() + page.size() - 1);
    m_rows += page;
    endInsertRows();
}

void ChannelStore::fetchAll()
{
    while (canFetchMore())
        fetchMore();
}

const ChannelRow *ChannelStore::rowAt(int row)
{
    if (row < 0)
        return nullptr;
    while (row >= m_rows.size() && canFetchMore())
        fetchMore();
    return row < m_rows.size() ? &m_rows.at(row) : nullptr;
}

QVariant ChannelStore::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return FieldValue::fieldText(m_rows.at(index.row()).values[index.column()]);
}

QVariant ChannelStore::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    const QString caption = ChannelFields::caption(section);
    return caption.isNull() ? QVariant() : QVariant(caption);
}

QVector<QVariantList> ChannelStore::allRows()
{
    fetchAll();
    QVector<QVariantList> rows;
    rows.reserve(m_rows.size());
    for (const ChannelRow &row : std::as_const(m_rows))
        rows << QVariantList(row.values.begin(), row.values.end());
    return rows;
}

bool ChannelStore::nextRecordNumbers(int count, QVector<QVariant> *numbers)
{
    qint64 largest = 0;
    if (!m_db.largestRecordNumber(&largest)) {
        emit saveFailed(QStringLiteral("不能读取 %1：%2").arg(fileName(), m_db.errorString()));
        return false;
    }
    numbers->clear();
    for (int i = 1; i <= count; ++i)
        numbers->append(QVariant(largest + i));
    return true;
}

QString ChannelStore::readOnlyMessage(const QString &fileName)
{
    return QStringLiteral("%1 是旧格式（Access）的信道文件，只能读取和传送，不能修改。\n"
                          "请先用“系统设置 → 信道文件 → 转换为新格式…”转换。")
            .arg(fileName);
}

QString ChannelStore::refusalReason() const
{
    if (!m_open)
        return QStringLiteral("数据库未打开");
    if (m_readOnly)
        return readOnlyMessage(fileName());
    if (!m_stale.isEmpty())
        return m_stale;
    return m_locks.isEmpty() ? QString() : m_locks.last().second;
}

ChannelStore::Lock ChannelStore::lock(const QString &reason)
{
    m_locks.append({ ++m_lastLock, reason });
    return Lock(this, m_lastLock);
}

ChannelStore::Lock &ChannelStore::Lock::operator=(Lock &&other) noexcept
{
    if (this != &other) {
        release();
        m_store = std::exchange(other.m_store, nullptr);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

void ChannelStore::Lock::release()
{
    if (m_store)
        m_store->m_locks.removeIf([this](const QPair<int, QString> &lock) { return lock.first == m_id; });
    m_store = nullptr;
    m_id = 0;
}

ChannelStore::Outcome ChannelStore::write(const QList<RowChange *> &changes, bool forward, bool checked,
                                         QString *conflict)
{
    // A stale grid writes nowhere: its connection holds the file that was replaced.
    if (!m_stale.isEmpty())
        return Outcome::Refused;
    QString differs;
    FileRows file{ m_db, m_rows, m_complete };
    bool written = m_db.begin() && (!checked || fileAsShown(file, changes, forward, &differs));
    QList<RowChange *> inTurn = changes;
    if (!forward)
        std::reverse(inTurn.begin(), inTurn.end());
    for (auto change = inTurn.cbegin(); written && change != inTurn.cend(); ++change)
        written = (*change)->write(file, forward);
    if (!written || !m_db.commit()) {
        m_db.rollback();
        if (conflict)
            *conflict = differs;
        return differs.isEmpty() ? Outcome::Refused : Outcome::Conflict;
    }
    for (RowChange *change : std::as_const(inTurn))
        change->show(*this, forward);
    return Outcome::Written;
}

// Every change of the command is checked before any is written, all against
// the rows as they are now.
bool ChannelStore::fileAsShown(FileRows &file, const QList<RowChange *> &changes, bool forward, QString *conflict)
{
    ChangeCheck check(file, fileName());
    for (const RowChange *change : changes)
        change->expect(check, forward);
    return check.run(conflict) && conflict->isEmpty();
}

void ChannelStore::markRefused(int row, int column, const QVariant &value, const QVariant &before)
{
    m_unsaved.mark(m_rows.at(row).key, column, before);
    m_rows[row].values[column] = value;
    rowsChanged(row, row);
}

bool ChannelStore::isUnsaved(int row, int column) const
{
    return row >= 0 && row < m_rows.size() && m_unsaved.contains(m_rows.at(row).key, column);
}

// Each cell is checked against the value its edit replaced, like any other edit.
ChannelStore::Outcome ChannelStore::writeUnsaved(QString *conflict, CellsChange::Cell *failed)
{
    for (int row : unsavedRows()) {
        const QHash<int, QVariant> cells = m_unsaved.ofRow(m_rows.at(row).key);
        for (auto [column, before] : cells.asKeyValueRange()) {
            const CellsChange::Cell cell{ row, column, before, m_rows.at(row).values[column] };
            CellsChange change({ cell });
            const Outcome outcome = write({ &change }, true, true, conflict);
            if (outcome != Outcome::Written) {
                if (failed)
                    *failed = cell;
                return outcome;
            }
            m_unsaved.drop(m_rows.at(row).key, column);
        }
    }
    return Outcome::Written;
}

QList<int> ChannelStore::unsavedRows() const
{
    QList<int> rows;
    for (int row = 0; row < m_rows.size() && rows.size() < m_unsaved.rowCount(); ++row)
        if (m_unsaved.containsRow(m_rows.at(row).key))
            rows << row;
    return rows;
}

// One field can change the verdict on the whole row, and the row's header with it.
void ChannelStore::rowsChanged(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, ChannelRow::fieldCount - 1));
    emit headerDataChanged(Qt::Vertical, first, last);
}

void ChannelStore::insertLoaded(int at, const QVector<ChannelRow> &rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, at, at + int(rows.size()) - 1);
    m_rows.insert(at, rows.size(), ChannelRow());
    std::copy(rows.begin(), rows.end(), m_rows.begin() + at);
    endInsertRows();
}

// `positions` ascending; removed from the last, a run of neighbours at a time.
void ChannelStore::removeLoaded(const QVector<int> &positions)
{
    int end = int(positions.size());
    while (end > 0) {
        int begin = end - 1;
        while (begin > 0 && positions.at(begin - 1) == positions.at(begin) - 1)
            --begin;
        const int first = positions.at(begin);
        const int last = positions.at(end - 1);
        beginRemoveRows({}, first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
        end = begin;
    }
}

void ChannelStore::hold(bool held)
{
    m_held = held;
    if (!held)
        emit released();
}

// A file that is no channel table keeps the grid on the rows it had.
bool ChannelStore::reopen(QString *error)
{
    ChannelDatabase probe;
    if (!probe.open(m_path)) {
        *error = probe.errorString();
        return false;
    }
    probe.close();
    if (!m_db.open(m_path)) {
        *error = m_db.errorString();
        return false;
    }
    m_stale.clear();
    m_missing = false;
    return true;
}

void ChannelStore::becomeStale(const QString &error)
{
    if (!m_stale.isEmpty())
        return;
    m_stale = QStringLiteral("%1 已被其他程序换成了不能使用的文件（%2）。\n表格中是换掉之前的数据，"
                             "不能修改，也不能传送。").arg(fileName(), error);
    emit becameStale(m_stale);
}

void ChannelStore::becomeMissing()
{
    if (m_missing)
        return;
    m_missing = true;
    m_stale = QStringLiteral("信道文件已被删除或移走：%1。\n表格中是删除之前的数据，只在窗口里，不能修改，也不能传送；"
                             "请用“另存为…”存成信道文件。").arg(m_path);
    emit becameStale(m_stale);
}

void ChannelStore::reload()
{
    QVector<ChannelRow> fresh;
    if (!m_held && readLoaded(&fresh) && merge(fresh))
        emit rowsRelocated();
}

// As many rows as the grid had loaded, or every row when it had them all.
bool ChannelStore::readLoaded(QVector<ChannelRow> *fresh)
{
    const qint64 wanted = m_complete ? std::numeric_limits<qint64>::max()
                                     : std::max<qint64>(m_rows.size(), pageSize);
    qint64 after = std::numeric_limits<qint64>::min();
    QVector<ChannelRow> page;
    while (fresh->size() < wanted) {
        const int limit = int(std::min<qint64>(pageSize, wanted - fresh->size()));
        if (!m_db.rowsAfter(after, limit, &page))
            return false;
        *fresh += page;
        if (page.size() < limit) {
            m_complete = true;
            return true;
        }
        after = page.last().key;
    }
    m_complete = false;
    return true;
}

// Announces only the differences, so the views keep their current row and
// open editors. True when rows came or went.
bool ChannelStore::merge(const QVector<ChannelRow> &fresh)
{
    const QVector<RowMerge::Step> steps = RowMerge::plan(m_rows, fresh);
    int lost = 0;
    for (const RowMerge::Step &step : steps) {
        if (step.kind == RowMerge::Step::Remove) {
            QVector<int> run(step.count);
            std::iota(run.begin(), run.end(), step.at);
            for (int row : std::as_const(run))
                lost += m_unsaved.dropRow(m_rows.at(row).key);
            removeLoaded(run);
        } else if (step.kind == RowMerge::Step::Insert) {
            insertLoaded(step.at, fresh.mid(step.from, step.count));
        } else {
            updateLoaded(step.at, fresh.at(step.from));
        }
    }
    // An unsaved edit of a row that is gone cannot be written anywhere: say so.
    if (lost > 0)
        emit saveFailed(QStringLiteral("其他程序已删除了 %1 中的行，其中 %2 处未保存的修改已无法写入。")
                                .arg(fileName())
                                .arg(lost));
    return RowMerge::moves(steps);
}

// The operator's unsaved cells keep the operator's value.
void ChannelStore::updateLoaded(int at, const ChannelRow &fresh)
{
    ChannelRow &row = m_rows[at];
    const QHash<int, QVariant> unsaved = m_unsaved.ofRow(row.key);
    bool changed = false;
    for (int column = 0; column < ChannelRow::fieldCount; ++column) {
        if (unsaved.contains(column) || FieldValue::sameValue(row.values[column], fresh.values[column]))
            continue;
        row.values[column] = fresh.values[column];
        changed = true;
    }
    if (changed)
        rowsChanged(at, at);
}
