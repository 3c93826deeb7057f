#include "CellEditorDelegate.h"

#include "ChannelTableModel.h"

#include <QMetaProperty>
#include <QPainter>
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

void CellEditorDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // When the file changes under an open editor, an untouched editor shows the
    // new value; one the operator typed in keeps the typing, and the edit is
    // checked against the file when it is committed.
    const QVariant shown = editor->property("shown");
    const QVariant typed = editor->metaObject()->userProperty().read(editor);
    if (shown.isValid() && typed.toString() != shown.toString())
        return;
    editor->setProperty("shown", index.data(Qt::EditRole));
    QStyledItemDelegate::setEditorData(editor, index);
}

void CellEditorDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    model->setData(index, editor->property("shown"), ChannelTableModel::ShownRole);
    QStyledItemDelegate::setModelData(editor, model, index);
}

void CellEditorDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.data(ChannelTableModel::LastSentRole).toBool())
        painter->fillRect(QRect(option.rect.left(), option.rect.bottom() - 1, option.rect.width(), 2),
                          option.palette.color(QPalette::WindowText));
}
