#pragma once

#include <QStyledItemDelegate>

// The grid's cell editor. A line editor holds at most 32767 characters and
// would cut a longer remark without a word when the cell is left; such a cell
// is edited in a plain-text editor that holds it whole. Under the last row a
// transfer sends, the delegate draws a line. The editor remembers what the cell
// showed when editing began, so an edit never overwrites unseen what another
// program wrote meanwhile.
class CellEditorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int lineEditLimit = 32767;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
