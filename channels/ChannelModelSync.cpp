// ChannelModel following its file: reading again what other programs wrote,
// and refusing to write over it unseen.
#include "ChannelModel.h"

#include "FieldValue.h"

#include <QFile>
#include <QHash>

#include <algorithm>

#include <sys/stat.h>

// Which file the name stands for now: another file moved in under the same
// name is another device and inode.
static QByteArray fileIdentity(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
}

// Values as the grid shows them: a number stored as text is the same value.
static bool sameValue(const QVariant &a, const QVariant &b)
{
    return FieldValue::isNull(a) == FieldValue::isNull(b) && FieldValue::fieldText(a) == FieldValue::fieldText(b);
}

void ChannelModel::startFollowing()
{
    m_poll.stop();
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    m_conflict.reset();
    if (!m_open || m_kind != ChannelFileKind::SQLite)
        return;
    m_identity = fileIdentity(m_path);
    if (!m_db.dataVersion(&m_version))
        m_version = -1;
    m_watcher.addPath(m_path);
    m_poll.start();
}

bool ChannelModel::refresh()
{
    // While the operator decides a conflict, the grid stays what the question is about.
    if (!m_open || m_kind != ChannelFileKind::SQLite || m_conflict)
        return false;
    const QByteArray identity = fileIdentity(m_path);
    if (identity.isEmpty())
        return false;   // between the old file's removal and the new one's arrival
    if (!m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    if (identity != m_identity) {
        // The identity is kept until a channel table arrives, so each poll tries again.
        QString error;
        if (!reopen(&error)) {
            becomeStale(error);
            return false;
        }
        m_identity = identity;
        m_stale.clear();
    } else {
        qint64 version = -1;
        if (!m_db.dataVersion(&version) || version == m_version)
            return false;
        m_version = version;
    }
    reload();
    return true;
}

// A file that is no channel table keeps the grid on the rows it had.
bool ChannelModel::reopen(QString *error)
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
    m_db.dataVersion(&m_version);
    return true;
}

void ChannelModel::becomeStale(const QString &error)
{
    if (!m_stale.isEmpty())
        return;
    m_stale = QStringLiteral("%1 已被其他程序换成了不能使用的文件（%2）。\n表格中是换掉之前的数据，"
                             "不能修改，也不能传送。").arg(fileName(), error);
    emit becameStale(m_stale);
}

void ChannelModel::reload()
{
    QVector<ChannelRow> fresh;
    if (readLoaded(&fresh) && merge(fresh))
        m_history.clear();
}

// As many rows as the grid had loaded, or every row when it had them all.
bool ChannelModel::readLoaded(QVector<ChannelRow> *fresh)
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

// Walks both key-ordered lists once and announces only the differences, so
// the views keep their current row and open editors. True when rows came or went.
bool ChannelModel::merge(const QVector<ChannelRow> &fresh)
{
    QHash<qint64, QHash<int, QVariant>> unsaved;
    for (auto cell = m_unsaved.cbegin(); cell != m_unsaved.cend(); ++cell)
        unsaved[m_rows.at(int(cell.key() >> 3)).key].insert(int(cell.key() & 7), cell.value());
    bool moved = false;
    int lost = 0;
    int at = 0;
    int next = 0;
    while (at < m_rows.size() || next < fresh.size()) {
        auto gone = [&](int row) { return next == fresh.size() || m_rows.at(row).key < fresh.at(next).key; };
        auto added = [&](int i) { return at == m_rows.size() || fresh.at(i).key < m_rows.at(at).key; };
        if (at < m_rows.size() && gone(at)) {
            QVector<int> run;
            for (int row = at; row < m_rows.size() && gone(row); ++row)
                run << row;
            for (int row : std::as_const(run))
                lost += unsaved.take(m_rows.at(row).key).size();
            removeLoaded(run);
            moved = true;
        } else if (added(next)) {
            int end = next;
            while (end < fresh.size() && added(end))
                ++end;
            insertLoaded(at, fresh.mid(next, end - next));
            at += end - next;
            next = end;
            moved = true;
        } else {
            updateLoaded(at++, fresh.at(next), unsaved.value(fresh.at(next).key));
            ++next;
        }
    }
    m_unsaved.clear();
    for (int row = 0; row < m_rows.size(); ++row)
        for (auto [column, before] : unsaved.value(m_rows.at(row).key).asKeyValueRange())
            m_unsaved.insert(cellKey(row, column), before);
    // An unsaved edit of a row that is gone cannot be written anywhere: say so.
    if (lost > 0)
        emit saveFailed(QStringLiteral("其他程序已删除了 %1 中的行，其中 %2 处未保存的修改已无法写入。")
                                .arg(fileName())
                                .arg(lost));
    return moved;
}

// The operator's unsaved cells keep the operator's value.
void ChannelModel::updateLoaded(int at, const ChannelRow &fresh, const QHash<int, QVariant> &unsavedColumns)
{
    ChannelRow &row = m_rows[at];
    bool changed = false;
    for (int column = 0; column < ChannelRow::fieldCount; ++column) {
        if (unsavedColumns.contains(column) || sameValue(row.values[column], fresh.values[column]))
            continue;
        row.values[column] = fresh.values[column];
        changed = true;
    }
    // One field can change the verdict on the whole row.
    if (changed) {
        emit dataChanged(index(at, 0), index(at, ChannelRow::fieldCount - 1));
        emit headerDataChanged(Qt::Vertical, at, at);
    }
}

void ChannelModel::keepFileValues()
{
    if (m_conflict)
        for (const RowChange::Cell &cell : std::as_const(m_conflict->change.cells))
            m_unsaved.remove(cellKey(cell.row, cell.column));
    m_conflict.reset();
    m_version = -1;
    refresh();
}

// Each cell the change replaces must hold what the grid showed; each row it
// moves or removes must be there whole, as shown.
bool ChannelModel::fileAsShown(const RowChange &change, bool forward, QString *conflict)
{
    struct Expected
    {
        int row;
        int column;   // -1: the whole row
        QVariant shown;
        QVariant mine;
    };
    QVector<Expected> expected;
    QSet<int> wholeRows;
    for (const RowChange::Cell &cell : change.cells)
        expected.append({ cell.row, cell.column, forward ? cell.before : cell.after,
                          forward ? cell.after : cell.before });
    for (const auto &[a, b] : change.swaps)
        wholeRows << a << b;
    if (forward)
        for (int row : change.removed)
            wholeRows << row;
    if (!forward && change.insertAt >= 0)
        for (int i = 0; i < change.inserted.size(); ++i)
            wholeRows << change.insertAt + i;
    // The first difference told is the one highest in the table.
    QList<int> rows = wholeRows.values();
    std::sort(rows.begin(), rows.end());
    for (int row : std::as_const(rows))
        expected.append({ row, -1, {}, {} });

    int differing = 0;
    for (const Expected &cell : std::as_const(expected)) {
        if (cell.row >= m_rows.size())
            continue;
        ChannelRow file;
        bool found = false;
        if (!m_db.rowByKey(m_rows.at(cell.row).key, &file, &found))
            return false;
        const int first = cell.column < 0 ? 0 : cell.column;
        const int last = cell.column < 0 ? ChannelRow::fieldCount - 1 : cell.column;
        for (int column = first; column <= last; ++column) {
            const QVariant shown = cell.column < 0 ? m_rows.at(cell.row).values[column] : cell.shown;
            if (found && sameValue(file.values[column], shown))
                continue;
            if (differing++ == 0) {
                const QVariant mine = cell.column < 0 ? shown : cell.mine;
                *conflict = found ? describeConflict(cell.row, column, file.values[column], mine)
                                  : QStringLiteral("第 %1 行已被其他程序删除。").arg(cell.row + 1);
            }
            if (!found)
                break;
        }
    }
    if (differing == 0)
        return true;
    *conflict = QStringLiteral("%1 已被其他程序修改，没有写入。\n%2").arg(fileName(), *conflict);
    if (differing > 1)
        *conflict += QStringLiteral("\n另有 %1 处也已不同。").arg(differing - 1);
    return true;
}

QString ChannelModel::describeConflict(int row, int column, const QVariant &file, const QVariant &mine) const
{
    return QStringLiteral("第 %1 行“%2”：文件中的值为“%3”，您的值为“%4”。")
            .arg(row + 1)
            .arg(caption(column), FieldValue::fieldText(file), FieldValue::fieldText(mine));
}
