#pragma once

#include "RowVerdict.h"

#include <QHash>
#include <QIdentityProxyModel>
#include <QPair>
#include <optional>

class ChannelEditor;
class ChannelStore;

// 信道表 as the grid shows it: the store's rows and captions, with what the
// operator needs to see about each cell. A cell that keeps its row from being
// sent is tinted and says why, a warning is tinted amber, an unsaved edit
// yellow; rows past those a transfer sends are drawn muted, and each row
// number shows the frame its row sends. Typed values go to the editor.
class ChannelTableModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    // True on the cells of the last row that is sent.
    static constexpr int LastSentRole = Qt::UserRole + 1;
    // Set by the cell editor just before it commits: the text the cell showed
    // when editing began, which is what the edit replaces.
    static constexpr int ShownRole = Qt::UserRole + 2;

    ChannelTableModel(ChannelEditor *editor, QObject *parent = nullptr);

    ChannelStore *store() const { return m_store; }
    ChannelEditor *editor() const { return m_editor; }
    void setRowCheck(const RowCheck &check);
    // Warnings that need the whole plan rather than one row (a channel number
    // taken twice), by (row, column), worded as the check list words them.
    using PlanWarnings = std::function<QHash<QPair<int, int>, QString>(ChannelStore &)>;
    void setPlanWarnings(const PlanWarnings &warnings);
    // Rows from `count` on are not sent: they are drawn muted, with a line
    // under the last one that is.
    void setSentRows(int count) { m_sentRows = count; }
    int sentRows() const { return m_sentRows; }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    void checksChanged();
    QVariant background(const QModelIndex &index, const RowVerdict &verdict) const;
    QVariant tooltip(const QModelIndex &index, const RowVerdict &verdict) const;
    bool isSent(int row) const { return m_sentRows <= 0 || row < m_sentRows; }
    QString planWarning(const QModelIndex &index) const;

    ChannelEditor *m_editor;
    ChannelStore *m_store;
    RowCheck m_check;
    PlanWarnings m_planWarnings;
    // Worked out again after the rows changed, once, when next painted.
    mutable std::optional<QHash<QPair<int, int>, QString>> m_planCache;
    int m_sentRows = 0;
    QString m_shown;
    QPersistentModelIndex m_shownAt;
};
