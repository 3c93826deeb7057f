#include "CellEditorDelegate.h"

#include <QPlainTextEdit>

QWidget *CellEditorDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    if (index.data(Qt::EditRole).toString().size() <= lineEditLimit)
        return QStyledItemDelegate::createEditor(parent, option, index);
    // QPlainTextEdit's user property is its plain text, so the base class
    // fills it and hands it back unchanged.
    auto *editor = new QPlainTextEdit(parent);
    editor->setFrameShape(QFrame::NoFrame);
    return editor;
}
