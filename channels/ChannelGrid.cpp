#include "ChannelGrid.h"

#include "DesignColours.h"
#include "DesignFonts.h"
#include "Twips.h"
#include "CellEditorDelegate.h"
#include "ChannelCursor.h"

#include <QApplication>
#include <QHeaderView>

static const double columnTwips[] = { 1094.74, 1049.95, 1964.98, 1980.28, 1785.26 };

ChannelGrid::ChannelGrid(QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("DataGrid1"));
    setItemDelegate(new CellEditorDelegate(this));
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed | SelectedClicked);
    setWordWrap(false);
    setFont(DesignFonts::font(QStringLiteral("楷体_GB2312"), 15.75));
    horizontalHeader()->setFont(DesignFonts::font(QStringLiteral("楷体_GB2312"), 12));
    horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void ChannelGrid::setCursor(ChannelCursor *cursor)
{
    setModel(cursor->model());
    setSelectionModel(cursor);
    applyDesign();
}

void ChannelGrid::applyDesign()
{
    for (int i = 0; i < int(std::size(columnTwips)); ++i)
        setColumnWidth(i, Twips::toPixels(columnTwips[i], this));
    // Header three text lines high, rows 24 points.
    const QFontMetrics header(horizontalHeader()->font());
    horizontalHeader()->setFixedHeight(3 * header.lineSpacing() + 4);
    verticalHeader()->setDefaultSectionSize(qRound(24.0 * logicalDpiY() / 72.0));
}

void ChannelGrid::commitPendingEdit()
{
    if (state() != EditingState)
        return;
    QWidget *editor = QApplication::focusWidget();
    if (editor && viewport()->isAncestorOf(editor)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

bool ChannelGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool asked = trigger == DoubleClicked || trigger == EditKeyPressed || trigger == AnyKeyPressed;
    if (asked && index.isValid() && !(model()->flags(index) & Qt::ItemIsEditable))
        emit editRefused();
    return QTableView::edit(index, trigger, event);
}
