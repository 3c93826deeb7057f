#include "ChannelModel.h"

#include "BackupName.h"
#include "FieldValue.h"
#include "JetReader.h"

#include <QBrush>
#include <QFile>
#include <QFileInfo>
#include <QColor>

// Why a file of this kind cannot hold a channel table at all; empty when it may.
static QString unusable(ChannelFileKind kind)
{
    switch (kind) {
    case ChannelFileKind::Missing: return QStringLiteral("文件不存在");
    case ChannelFileKind::NotAFile: return QStringLiteral("不是文件");
    case ChannelFileKind::Empty: return QStringLiteral("文件是空的");
    case ChannelFileKind::Unknown: return QStringLiteral("不是信道数据库");
    default: return QString();
    }
}

ChannelModel::ChannelModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    // The watcher answers at once for most writers; the poll catches what it
    // misses (a file replaced under its name, a watch lost with the old file).
    m_poll.setInterval(500);
    connect(&m_poll, &QTimer::timeout, this, &ChannelModel::refresh);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &ChannelModel::refresh);
}

void ChannelModel::reset(const QString &path)
{
    m_history.clear();
    m_rows.clear();
    m_unsaved.clear();
    m_db.close();
    m_path = path;
    m_readError.clear();
    m_stale.clear();
    m_readOnly = false;
    m_complete = true;
    m_kind = channelFileKind(path);
    m_error = unusable(m_kind);
}

bool ChannelModel::open(const QString &path, const QString &jetTable)
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
    startFollowing();
    return m_open;
}

bool ChannelModel::open(const QString &path, const JetReader &jet, const QString &jetTable)
{
    beginResetModel();
    reset(path);
    if (m_error.isEmpty())
        openJet(jet, jetTable);
    m_open = m_error.isEmpty();
    endResetModel();
    startFollowing();   // an Access file is not followed: stop following the last one
    return m_open;
}

void ChannelModel::openJet(const JetReader &jet, const QString &jetTable)
{
    if (!jet.errorString().isEmpty()) {
        m_error = jet.errorString();
        return;
    }
    if (jet.fieldNames().size() < ChannelRow::fieldCount) {
        m_error = QStringLiteral("%1的字段少于五个").arg(jetTable);
        return;
    }
    const QVector<QVariantList> rows = jet.rows();
    m_rows.reserve(rows.size());
    for (const QVariantList &values : rows) {
        ChannelRow row;
        row.key = m_rows.size();
        for (int i = 0; i < ChannelRow::fieldCount; ++i)
            row.values[i] = values.at(i);
        m_rows.append(row);
    }
    m_readOnly = true;
}

QString ChannelModel::fileName() const
{
    return QFileInfo(m_path).fileName();
}

int ChannelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int ChannelModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ChannelRow::fieldCount;
}

bool ChannelModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_complete;
}

void ChannelModel::fetchMore(const QModelIndex &parent)
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

const ChannelRow *ChannelModel::rowAt(int row)
{
    if (row < 0)
        return nullptr;
    while (row >= m_rows.size() && canFetchMore())
        fetchMore();
    return row < m_rows.size() ? &m_rows.at(row) : nullptr;
}

QVariant ChannelModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ChannelRow &row = m_rows.at(index.row());
    const QVariant &value = row.values[index.column()];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return FieldValue::fieldText(value);
    const bool sent = m_sentRows <= 0 || index.row() < m_sentRows;
    if (role == LastSentRole)
        return index.row() == m_sentRows - 1;
    if (role == Qt::ForegroundRole)
        return sent ? QVariant() : QVariant(QBrush(QColor(160, 160, 160)));
    if (role != Qt::BackgroundRole && role != Qt::ToolTipRole)
        return {};

    const bool unsaved = m_unsaved.contains(cellKey(index.row(), index.column()));
    const RowVerdict verdict = m_check ? m_check(row) : RowVerdict();
    const QString problem = verdict.problems[index.column()];
    const QString warning = verdict.warnings[index.column()];
    if (role == Qt::BackgroundRole) {
        if (!problem.isEmpty())
            return QBrush(QColor(255, 205, 210));
        if (unsaved)
            return QBrush(QColor(255, 236, 179));
        return !warning.isEmpty() && sent ? QBrush(QColor(255, 224, 130)) : QVariant();
    }
    QStringList notes;
    if (!problem.isEmpty())
        notes << problem;
    if (!warning.isEmpty())
        notes << warning;
    if (unsaved)
        notes << QStringLiteral("此修改尚未保存到 %1").arg(fileName());
    return notes.isEmpty() ? QVariant() : QVariant(notes.join(u'\n'));
}

QVariant ChannelModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::ToolTipRole && m_sentRows > 0 && section >= m_sentRows)
        return QStringLiteral("此行不传送：只传送前 %1 行").arg(m_sentRows);
    if (orientation == Qt::Vertical && role == Qt::ToolTipRole && m_check && section < m_rows.size()) {
        const RowVerdict verdict = m_check(m_rows.at(section));
        return verdict.sendable() ? QStringLiteral("发送: %1").arg(verdict.frame)
                                  : QStringLiteral("此行不能传送");
    }
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    const QString caption = ChannelFields::caption(section);
    return caption.isNull() ? QVariant() : QVariant(caption);
}

Qt::ItemFlags ChannelModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const bool key = index.column() == m_db.keyField();
    return refusal().isEmpty() && !key ? flags | Qt::ItemIsEditable : flags;
}

bool ChannelModel::setData(const QModelIndex &index, const QVariant &typed, int role)
{
    if (role == ShownRole) {
        m_shown = typed.toString();
        m_shownAt = index;
        return true;
    }
    const bool shownHere = m_shownAt == index;
    m_shownAt = QModelIndex();
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || index.row() >= m_rows.size())
        return false;
    // An editor left as it opened changes nothing, whatever the file did meanwhile.
    if (shownHere && typed.toString() == m_shown)
        return true;
    const int row = index.row();
    const int column = index.column();
    QVariant &stored = m_rows[row].values[column];
    const QVariant value = FieldValue::fromInput(column, typed.toString());
    // The file changed the cell while it was being edited: the edit replaces
    // what the operator saw, and the file no longer holds that.
    const QVariant before = shownHere && FieldValue::fieldText(stored) != m_shown
            ? FieldValue::fromInput(column, m_shown)
            : stored;
    const bool same = FieldValue::isNull(stored) == FieldValue::isNull(value)
            && FieldValue::fieldText(stored) == FieldValue::fieldText(value)
            && stored.typeId() == value.typeId();
    if (same && !m_unsaved.contains(cellKey(row, column)))
        return true;

    if (m_unsaved.isEmpty() && editCell(row, column, before, value))
        return true;
    if (m_conflict)
        return false;
    stored = value;
    if (!m_unsaved.contains(cellKey(row, column)))
        m_unsaved.insert(cellKey(row, column), before);
    if (write(row, column))
        saveUnsaved();   // the file takes writes again: catch up on earlier refusals
    else if (!m_conflict)
        emit saveFailed(QStringLiteral("第 %1 行“%2”的修改未能保存到 %3：%4")
                                .arg(row + 1)
                                .arg(headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                                     fileName(), m_db.errorString()));
    // One field can change the verdict on the whole row.
    emit dataChanged(this->index(row, 0), this->index(row, ChannelRow::fieldCount - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
    return true;
}

// Checked against the value the edit replaced, like any other edit.
bool ChannelModel::write(int row, int column)
{
    const quint64 cell = cellKey(row, column);
    RowChange change;
    change.cells.append({ row, column, m_unsaved.value(cell), m_rows.at(row).values[column] });
    if (!apply(change, true, QStringLiteral("修改“%1”").arg(caption(column))))
        return false;
    m_unsaved.remove(cell);
    return true;
}

bool ChannelModel::saveUnsaved()
{
    const QList<quint64> cells = m_unsaved.keys();
    for (quint64 cell : cells) {
        const int row = int(cell >> 3);
        const int column = int(cell & 7);
        if (!write(row, column))
            return false;
        emit dataChanged(index(row, column), index(row, column));
    }
    return true;
}

QList<int> ChannelModel::unsavedRows() const
{
    QList<int> rows;
    for (quint64 cell : m_unsaved.keys())
        if (!rows.contains(int(cell >> 3)))
            rows << int(cell >> 3);
    std::sort(rows.begin(), rows.end());
    return rows;
}

QVector<QVariantList> ChannelModel::allRows()
{
    while (canFetchMore())
        fetchMore();
    QVector<QVariantList> rows;
    rows.reserve(m_rows.size());
    for (const ChannelRow &row : std::as_const(m_rows))
        rows << QVariantList(row.values.begin(), row.values.end());
    return rows;
}

bool ChannelModel::replaceAll(const QVector<QVariantList> &rows, QString *backup)
{
    if (!m_open || m_readOnly) {
        m_error = m_readOnly ? QStringLiteral("旧格式（Access）的文件不能修改，请先转换为新格式")
                             : QStringLiteral("数据库未打开");
        return false;
    }
    const QString copy = BackupName::beforeImport(m_path);
    if (!QFile::copy(m_path, copy)) {
        m_error = QStringLiteral("不能复制为 %1").arg(QFileInfo(copy).fileName());
        return false;
    }
    if (backup)
        *backup = copy;
    if (!m_db.replaceAll(rows)) {
        m_error = m_db.errorString();
        return false;
    }
    return open(m_path);
}
