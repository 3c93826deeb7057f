#include "ChannelTableModel.h"

#include "ChannelEditor.h"
#include "ChannelStore.h"
#include "DesignColours.h"

#include <QBrush>

void ChannelTableModel::setRowCheck(const RowCheck &check)
{
    m_check = check;
    checksChanged();
}

void ChannelTableModel::setPlanWarnings(const PlanWarnings &warnings)
{
    m_planWarnings = warnings;
    checksChanged();
}

// Every tint and tooltip may read otherwise now.
void ChannelTableModel::checksChanged()
{
    m_planCache.reset();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         { Qt::BackgroundRole, Qt::ToolTipRole });
}

ChannelTableModel::ChannelTableModel(ChannelEditor *editor, QObject *parent)
    : QIdentityProxyModel(parent)
    , m_editor(editor)
    , m_store(editor->store())
{
    setSourceModel(m_store);
    const auto stale = [this] { m_planCache.reset(); };
    connect(m_store, &ChannelStore::dataChanged, this, stale);
    connect(m_store, &ChannelStore::rowsInserted, this, stale);
    connect(m_store, &ChannelStore::rowsRemoved, this, stale);
    connect(m_store, &ChannelStore::modelReset, this, stale);
}

QString ChannelTableModel::planWarning(const QModelIndex &index) const
{
    if (!m_planWarnings)
        return QString();
    if (!m_planCache)
        m_planCache = m_planWarnings(*m_store);
    return m_planCache->value({ index.row(), index.column() });
}

QVariant ChannelTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_store->rowCount())
        return {};
    if (role == LastSentRole)
        return index.row() == m_sentRows - 1;
    if (role == Qt::ForegroundRole)
        return isSent(index.row()) ? QVariant() : QVariant(QBrush(DesignColours::notSentText));
    if (role != Qt::BackgroundRole && role != Qt::ToolTipRole)
        return QIdentityProxyModel::data(index, role);
    const ChannelRow &row = *m_store->rowAt(index.row());
    const RowVerdict verdict = m_check ? m_check(row) : RowVerdict();
    return role == Qt::BackgroundRole ? background(index, verdict) : tooltip(index, verdict);
}

QVariant ChannelTableModel::background(const QModelIndex &index, const RowVerdict &verdict) const
{
    if (!verdict.problems(index.column()).isEmpty())
        return QBrush(DesignColours::problemCell);
    if (m_store->isUnsaved(index.row(), index.column()))
        return QBrush(DesignColours::unsavedCell);
    const bool readOtherwise = !m_editor->readingNote(index.row(), index.column()).isEmpty();
    const bool warned = !verdict.warnings(index.column()).isEmpty() || !planWarning(index).isEmpty();
    if ((warned || readOtherwise) && isSent(index.row()))
        return QBrush(DesignColours::warningCell);
    return {};
}

QVariant ChannelTableModel::tooltip(const QModelIndex &index, const RowVerdict &verdict) const
{
    QStringList notes;
    for (const QString &note : { verdict.problems(index.column()), verdict.warnings(index.column()) })
        if (!note.isEmpty())
            notes << note;
    if (!planWarning(index).isEmpty())
        notes << planWarning(index);
    const QString reading = m_editor->readingNote(index.row(), index.column());
    if (!reading.isEmpty())
        notes << reading;
    if (m_store->isUnsaved(index.row(), index.column()))
        notes << QStringLiteral("此修改尚未保存到 %1").arg(m_store->fileName());
    return notes.isEmpty() ? QVariant() : QVariant(notes.join(u'\n'));
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Vertical || role != Qt::ToolTipRole)
        return QIdentityProxyModel::headerData(section, orientation, role);
    if (!isSent(section))
        return QStringLiteral("此行不传送：只传送前 %1 行").arg(m_sentRows);
    if (!m_check || section >= m_store->rowCount())
        return {};
    const RowVerdict verdict = m_check(*m_store->rowAt(section));
    return verdict.sendable() ? QStringLiteral("发送: %1").arg(verdict.frame) : QStringLiteral("此行不能传送");
}

Qt::ItemFlags ChannelTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QIdentityProxyModel::flags(index);
    const bool key = index.column() == m_store->keyField();
    return m_store->refusalReason().isEmpty() && !key ? flags | Qt::ItemIsEditable : flags;
}

bool ChannelTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == ShownRole) {
        m_shown = value.toString();
        m_shownAt = index;
        return true;
    }
    const bool shownHere = m_shownAt == index;
    m_shownAt = QModelIndex();
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return m_editor->editCell(index.row(), index.column(), value.toString(), shownHere ? &m_shown : nullptr);
}
