#include "ChannelGrid.h"

#include "DesignFonts.h"
#include "Twips.h"
#include "CellEditorDelegate.h"
#include "ChannelCursor.h"
#include "ChannelEditor.h"
#include "ChannelTableModel.h"

#include "SystemMessage.h"
#include "Tsv.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>

static const double columnTwips[] = { 1094.74, 1049.95, 1964.98, 1980.28, 1785.26 };

ChannelGrid::ChannelGrid(QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("DataGrid1"));
    setItemDelegate(new CellEditorDelegate(this));
    setSelectionBehavior(SelectItems);
    setSelectionMode(ExtendedSelection);
    // Typing, F2 or a double-click opens a cell; a click never does, or a
    // click on a selected cell would open it a moment later and take the keys
    // meant for the selection.
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setWordWrap(false);
    setFont(DesignFonts::font(QStringLiteral("楷体_GB2312"), 15.75));
    horizontalHeader()->setFont(DesignFonts::font(QStringLiteral("楷体_GB2312"), 12));
    horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    verticalHeader()->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ChannelGrid::setCursor(ChannelCursor *cursor)
{
    m_cursor = cursor;
    setModel(cursor->model());
    setSelectionModel(cursor);
    applyDesign();
    createActions();
    connect(cursor, &QItemSelectionModel::selectionChanged, this, [this] { m_allSelected = false; });
    connect(model(), &QAbstractItemModel::modelReset, this, [this] { m_allSelected = false; });
    for (const auto rowsChanged : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
        connect(model(), rowsChanged, this, &ChannelGrid::fitRowNumbers);
    connect(model(), &QAbstractItemModel::modelReset, this, &ChannelGrid::fitRowNumbers);
    fitRowNumbers();
}

// The row numbers' width as the style draws them: the current row's in bold,
// a margin each side and the section's edges. Qt's own estimate leaves the
// widest number cut in the design's font.
void ChannelGrid::fitRowNumbers()
{
    QFont bold = verticalHeader()->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int digit = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d)
        digit = std::max(digit, metrics.horizontalAdvance(QChar(d)));
    const int digits = int(QString::number(std::max(model()->rowCount(), 1)).size());
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, verticalHeader());
    verticalHeader()->setMinimumWidth(digits * digit + 2 * margin + 4);
}

void ChannelGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange && model())
        fitRowNumbers();   // zoomed
}

void ChannelGrid::selectAll()
{
    QTableView::selectAll();
    m_allSelected = true;
}

// Rows come from the file a page at a time, and select-all selects only those
// loaded. A command on all of them, or on everything after select-all, is meant
// for the whole file: the rest is fetched and selected before it acts.
void ChannelGrid::selectWholeTableIfAll()
{
    QAbstractItemModel *rows = model();
    if (!m_allSelected) {
        if (rows->rowCount() == 0 || !rows->canFetchMore({}))
            return;
        for (int row = 0; row < rows->rowCount(); ++row)
            if (!selectionModel()->isRowSelected(row))
                return;
    }
    fetchAll();
    if (rows->rowCount() == 0)
        return;
    const QModelIndex last = rows->index(rows->rowCount() - 1, rows->columnCount() - 1);
    selectionModel()->select(QItemSelection(rows->index(0, 0), last), QItemSelectionModel::ClearAndSelect);
    m_allSelected = true;
}

void ChannelGrid::fetchAll()
{
    while (model()->canFetchMore({}))
        model()->fetchMore({});
}

// Ctrl+End means the last row of the file, however few of them are read yet.
QModelIndex ChannelGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveEnd && (modifiers & Qt::ControlModifier))
        fetchAll();
    return QTableView::moveCursor(action, modifiers);
}

// The grid shows a ChannelTableModel; its editor changes the rows.
ChannelEditor *ChannelGrid::editor() const
{
    return static_cast<ChannelTableModel *>(model())->editor();
}

QAction *ChannelGrid::command(const QString &text, const QList<QKeySequence> &keys, const char *name)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    // Keys act while the grid itself has focus: in an open cell editor
    // Delete, Ctrl+Delete, Ctrl+Z and the clipboard keys edit the text.
    action->setShortcutContext(Qt::WidgetShortcut);
    addAction(action);
    verticalHeader()->addAction(action);
    return action;
}

void ChannelGrid::createActions()
{
    auto separator = [this] {
        auto *line = new QAction(this);
        line->setSeparator(true);
        addAction(line);
        verticalHeader()->addAction(line);
    };
    connect(command(QStringLiteral("插入行(&A)"), { Qt::Key_Insert }, "insertRow"), &QAction::triggered,
            this, &ChannelGrid::insertRow);
    connect(command(QStringLiteral("复制行(&D)"), { Qt::CTRL | Qt::Key_D }, "duplicateRows"), &QAction::triggered,
            this, &ChannelGrid::duplicateRows);
    connect(command(QStringLiteral("删除行(&E)"), { Qt::CTRL | Qt::Key_Delete }, "deleteRows"), &QAction::triggered,
            this, &ChannelGrid::deleteRows);
    connect(command(QStringLiteral("上移(&M)"), { Qt::ALT | Qt::Key_Up }, "moveUp"), &QAction::triggered,
            this, [this] { moveRows(-1); });
    connect(command(QStringLiteral("下移(&N)"), { Qt::ALT | Qt::Key_Down }, "moveDown"), &QAction::triggered,
            this, [this] { moveRows(1); });
    separator();
    connect(command(QStringLiteral("剪切(&T)"), { Qt::CTRL | Qt::Key_X }, "cut"), &QAction::triggered,
            this, &ChannelGrid::cutCells);
    connect(command(QStringLiteral("复制(&C)"), { Qt::CTRL | Qt::Key_C }, "copy"), &QAction::triggered,
            this, &ChannelGrid::copyCells);
    connect(command(QStringLiteral("粘贴(&P)"), { Qt::CTRL | Qt::Key_V }, "paste"), &QAction::triggered,
            this, &ChannelGrid::pasteCells);
    connect(command(QStringLiteral("清除(&L)"), { Qt::Key_Delete }, "clear"), &QAction::triggered,
            this, &ChannelGrid::clearCells);
    separator();
    m_undo = command(QString(), { Qt::CTRL | Qt::Key_Z }, "undo");
    m_redo = command(QString(), { Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z }, "redo");
    QUndoStack *history = editor()->history();
    // Each names the step it takes back or does again: 撤销 排序.
    const auto name = [](QAction *action, const QString &verb, const QString &step, QChar key) {
        action->setText(QStringLiteral("%1%2(&%3)").arg(verb, step.isEmpty() ? QString() : u' ' + step, key));
    };
    name(m_undo, QStringLiteral("撤销"), history->undoText(), u'U');
    name(m_redo, QStringLiteral("重做"), history->redoText(), u'R');
    connect(history, &QUndoStack::undoTextChanged, m_undo,
            [this, name](const QString &step) { name(m_undo, QStringLiteral("撤销"), step, u'U'); });
    connect(history, &QUndoStack::redoTextChanged, m_redo,
            [this, name](const QString &step) { name(m_redo, QStringLiteral("重做"), step, u'R'); });
    connect(m_undo, &QAction::triggered, editor(), &ChannelEditor::undo);
    connect(m_redo, &QAction::triggered, editor(), &ChannelEditor::redo);
    m_undo->setEnabled(history->canUndo());
    m_redo->setEnabled(history->canRedo());
    connect(history, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(history, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
}

// Rows with a selected cell, or the current row when nothing is selected.
QList<int> ChannelGrid::selectedRowsOrCurrent()
{
    selectWholeTableIfAll();
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows << index.row();
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ChannelGrid::selectRows(int first, int count, int current)
{
    const int column = std::max(currentIndex().column(), 0);
    QItemSelection rows;
    rows.select(model()->index(first, 0), model()->index(first + count - 1, model()->columnCount() - 1));
    selectionModel()->setCurrentIndex(model()->index(current, column), QItemSelectionModel::NoUpdate);
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

void ChannelGrid::insertRow()
{
    const int row = currentIndex().isValid() ? currentIndex().row() : model()->rowCount();
    if (editor()->insertRowAbove(row))
        selectRows(row, 1, row);
}

void ChannelGrid::duplicateRows()
{
    const QList<int> rows = selectedRowsOrCurrent();
    if (!rows.isEmpty() && editor()->duplicateRows(rows))
        selectRows(rows.last() + 1, int(rows.size()), rows.last() + 1);
}

void ChannelGrid::deleteRows()
{
    const QList<int> rows = selectedRowsOrCurrent();
    const bool everyRow = !rows.isEmpty() && rows.size() == model()->rowCount() && !model()->canFetchMore({});
    if (everyRow && askSystemChoice(this, QStringLiteral("要删除信道表的全部 %1 行吗？").arg(rows.size()),
                                    QStringLiteral("全部删除"), QStringLiteral("取消")) != QMessageBox::Yes)
        return;
    if (!rows.isEmpty() && editor()->deleteRows(rows)) {
        m_allSelected = false;   // the rows it meant are gone, even when no row is left to select
        const int row = std::min(rows.first(), model()->rowCount() - 1);
        if (row >= 0)
            selectRows(row, 1, row);
    }
}

void ChannelGrid::moveRows(int step)
{
    const QList<int> rows = selectedRowsOrCurrent();
    const int current = currentIndex().isValid() ? currentIndex().row() : rows.value(0);
    if (rows.isEmpty() || !editor()->moveRowsBy(rows, step))
        return;
    QItemSelection moved;
    for (int row : rows)
        moved.select(model()->index(row + step, 0), model()->index(row + step, model()->columnCount() - 1));
    selectionModel()->setCurrentIndex(model()->index(current + step, std::max(currentIndex().column(), 0)),
                                      QItemSelectionModel::NoUpdate);
    selectionModel()->select(moved, QItemSelectionModel::ClearAndSelect);
}

QModelIndexList ChannelGrid::selectedCells()
{
    selectWholeTableIfAll();
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    return cells;
}

void ChannelGrid::clearCells()
{
    editor()->clearCells(selectedCells());
}

// The selected cells as the rectangle that holds them, each as the grid shows it.
void ChannelGrid::copyCells()
{
    const QModelIndexList cells = selectedCells();
    if (cells.isEmpty())
        return;
    int top = cells.first().row(), bottom = top, left = cells.first().column(), right = left;
    for (const QModelIndex &cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    QVector<QStringList> block(bottom - top + 1, QStringList());
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c)
            block[r - top] << (selectionModel()->isSelected(model()->index(r, c)) || cells.size() == 1
                                       ? model()->index(r, c).data().toString()
                                       : QString());
    QGuiApplication::clipboard()->setText(Tsv::write(block));
}

void ChannelGrid::cutCells()
{
    copyCells();
    clearCells();
}

void ChannelGrid::pasteCells()
{
    const QVector<QStringList> block = Tsv::read(QGuiApplication::clipboard()->text());
    if (block.isEmpty())
        return;
    const QModelIndex at = currentIndex().isValid() ? currentIndex() : model()->index(0, 0);
    const int row = at.isValid() ? at.row() : model()->rowCount();
    const int column = std::max(at.column(), 0);
    int dropped = 0;
    bool skippedHeader = false;
    if (!editor()->paste(row, column, block, &dropped, &skippedHeader))
        return;
    if (skippedHeader)   // a note, not a question: the paste is one undo step either way
        QToolTip::showText(viewport()->mapToGlobal(visualRect(model()->index(row, column)).center()),
                           QStringLiteral("已跳过表头行"), this, {}, 4000);
    int width = 0;
    for (const QStringList &line : block)
        width = std::max(width, int(line.size()));
    const int right = std::min(column + width, model()->columnCount()) - 1;
    selectionModel()->select(QItemSelection(model()->index(row, column),
                                            model()->index(row + int(block.size()) - 1 - int(skippedHeader), right)),
                             QItemSelectionModel::ClearAndSelect);
    if (dropped > 0)
        showSystemMessage(this, QStringLiteral("粘贴的内容超出“备注”列，多出的 %1 列没有粘贴。").arg(dropped));
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

// While following a load, clicks and drags on the cells leave the current
// row alone; the scroll bars are not the viewport and still work.
bool ChannelGrid::viewportEvent(QEvent *event)
{
    const bool mouse = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove
            || event->type() == QEvent::MouseButtonDblClick;
    if (m_following && mouse) {
        event->accept();
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ChannelGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_following && !event->matches(QKeySequence::Copy))
        return event->accept();
    if (!appendRowBelowLast(event))
        QTableView::keyPressEvent(event);
}

// Down past the last row of the file adds an empty one there, one step of
// the history like 插入行, and goes down into it.
bool ChannelGrid::appendRowBelowLast(QKeyEvent *event)
{
    const QModelIndex at = currentIndex();
    if (event->key() != Qt::Key_Down || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !at.isValid()
        || at.row() != model()->rowCount() - 1 || model()->canFetchMore({}))
        return false;
    event->accept();
    if (editor()->insertRowAbove(model()->rowCount()))
        selectRows(at.row() + 1, 1, at.row() + 1);
    return true;
}

// A plain click makes the clicked cell the whole selection, as in a
// spreadsheet, even on a cell of a larger selection: the row commands then act
// on what the operator last pointed at, never on a selection left from before.
// A right-click inside the selection keeps it, for the context menu to act on.
QItemSelectionModel::SelectionFlags ChannelGrid::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    const auto *mouse = event && event->type() == QEvent::MouseButtonPress ? static_cast<const QMouseEvent *>(event)
                                                                            : nullptr;
    if (mouse && mouse->button() == Qt::RightButton && selectionModel()->isSelected(index))
        return QItemSelectionModel::NoUpdate;
    if (mouse && !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) && index.isValid())
        return QItemSelectionModel::ClearAndSelect;
    return QTableView::selectionCommand(index, event);
}
