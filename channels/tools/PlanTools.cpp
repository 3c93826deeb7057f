#include "PlanTools.h"

#include "ChannelEditor.h"
#include "ChannelFields.h"
#include "ChannelGrid.h"
#include "ChannelStore.h"
#include "FieldValue.h"
#include "FillDialog.h"
#include "FindReplaceDialog.h"
#include "FrequencyCommand.h"
#include "FrequencyDialog.h"
#include "GridZoom.h"
#include "SortDialog.h"
#include "SystemMessage.h"

#include <QAction>
#include <QHeaderView>
#include <QScreen>
#include <QSet>

PlanTools::PlanTools(ChannelGrid *grid)
    : QObject(grid)
    , m_grid(grid)
    , m_zoom(new GridZoom(grid))
{
    addSeparator();
    connect(add(QStringLiteral("排序(&S)…"), {}, "sort"), &QAction::triggered, this, &PlanTools::sort);
    connect(add(QStringLiteral("填充序列(&X)…"), {}, "fill"), &QAction::triggered, this, &PlanTools::fill);
    connect(add(QStringLiteral("频率计算(&J)…"), {}, "frequencies"), &QAction::triggered, this,
            &PlanTools::computeFrequencies);
    addSeparator();
    connect(add(QStringLiteral("查找(&F)…"), { QKeySequence::Find }, "find"), &QAction::triggered, this,
            [this] { openFind(false); });
    connect(add(QStringLiteral("替换(&H)…"), { Qt::CTRL | Qt::Key_H }, "replace"), &QAction::triggered, this,
            [this] { openFind(true); });
    addSeparator();
    connect(add(QStringLiteral("放大(&I)"), { QKeySequence::ZoomIn, Qt::CTRL | Qt::Key_Equal }, "zoomIn"),
            &QAction::triggered, m_zoom, &GridZoom::zoomIn);
    connect(add(QStringLiteral("缩小(&O)"), { QKeySequence::ZoomOut }, "zoomOut"), &QAction::triggered, m_zoom,
            &GridZoom::zoomOut);
    connect(add(QStringLiteral("原始大小(&0)"), { Qt::CTRL | Qt::Key_0 }, "zoomReset"), &QAction::triggered, m_zoom,
            &GridZoom::reset);
}

// Keys act while the grid has focus, as the row commands' do.
QAction *PlanTools::add(const QString &text, const QList<QKeySequence> &keys, const char *name)
{
    auto *action = new QAction(text, m_grid);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    m_grid->addAction(action);
    m_grid->verticalHeader()->addAction(action);
    m_actions << action;
    return action;
}

void PlanTools::addSeparator()
{
    auto *line = new QAction(m_grid);
    line->setSeparator(true);
    m_grid->addAction(line);
    m_grid->verticalHeader()->addAction(line);
    m_actions << line;
}

void PlanTools::sort()
{
    m_grid->commitPendingEdit();
    SortDialog dialog(m_grid->currentIndex().column(), m_grid->window());
    if (dialog.exec() == QDialog::Accepted)
        m_grid->editor()->sortRows(dialog.column(), dialog.descending());
}

void PlanTools::fill()
{
    m_grid->commitPendingEdit();
    const QModelIndexList cells = m_grid->selectedCells();
    QSet<int> columns;
    QList<int> rows;
    for (const QModelIndex &cell : cells) {
        columns << cell.column();
        rows << cell.row();
    }
    if (columns.size() != 1)
        return showSystemMessage(m_grid, QStringLiteral("请选择同一列中要填充的单元格。"));
    const int column = *columns.cbegin();
    if (column == ChannelFields::Remark)
        return showSystemMessage(m_grid, QStringLiteral("“备注”列不能填充序列。"));
    std::sort(rows.begin(), rows.end());
    const QString first = m_grid->model()->index(rows.first(), column).data().toString();
    FillDialog dialog(column, first, int(rows.size()), m_grid->window());
    if (dialog.exec() == QDialog::Accepted)
        m_grid->editor()->fillSeries(rows, column, dialog.start(), dialog.step());
}

// The cells a calculation from `source` changes among the selected ones: each
// selected frequency itself (source -1), else the other frequency of each row.
static QList<QPair<int, int>> targets(const QModelIndexList &selected, int source)
{
    QList<QPair<int, int>> cells;
    QSet<int> rows;
    for (const QModelIndex &cell : selected) {
        if (source < 0)
            cells << qMakePair(cell.row(), cell.column());
        else if (!rows.contains(cell.row()))
            cells << qMakePair(cell.row(), 5 - source);   // 接收 (2) and 发送 (3) make each other
        rows << cell.row();
    }
    return cells;
}

void PlanTools::computeFrequencies()
{
    m_grid->commitPendingEdit();
    const QModelIndexList selected = m_grid->selectedCells();
    if (selected.isEmpty())
        return;
    FrequencyDialog dialog(m_grid->window());
    ChannelStore *store = m_grid->editor()->store();
    dialog.setPreview([&selected, store](int source, Frequency offset) {
        FrequencyCommand dry(*store, targets(selected, source), source, offset);
        return qMakePair(dry.count(), dry.skipped());
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    int changed = 0, skipped = 0;
    if (m_grid->editor()->computeFrequencies(targets(selected, dialog.source()), dialog.source(), dialog.offset(),
                                             &changed, &skipped)
        && skipped > 0)
        showSystemMessage(m_grid, QStringLiteral("已计算 %1 个频率；%2 个单元格没有可用的频率或结果不大于 0，保持原样。")
                                          .arg(changed).arg(skipped));
}

void PlanTools::openFind(bool replacing)
{
    m_grid->commitPendingEdit();
    if (!m_find) {
        m_find = new FindReplaceDialog(m_grid->window());
        m_find->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_find, &FindReplaceDialog::findNextRequested, this, &PlanTools::findNext);
        connect(m_find, &FindReplaceDialog::replaceRequested, this, &PlanTools::replaceOne);
        connect(m_find, &FindReplaceDialog::replaceAllRequested, this, &PlanTools::replaceAll);
    }
    m_find->setReplacing(replacing);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

// The dialog off the cell it found: below it, or above it when the screen
// has no room below, so that the match is never under the dialog.
static void keepClear(QWidget *dialog, const QRect &cell)
{
    QRect frame = dialog->frameGeometry();
    if (!frame.intersects(cell))
        return;
    const int gap = 8;
    if (cell.bottom() + gap + frame.height() <= dialog->screen()->availableGeometry().bottom())
        frame.moveTop(cell.bottom() + gap);
    else
        frame.moveBottom(cell.top() - gap);
    dialog->move(frame.topLeft());
}

// From the current cell on, row by row, round from the top.
void PlanTools::findNext()
{
    const CellSearch search = m_find->search();
    const QModelIndex at = m_grid->currentIndex();
    const auto [row, column] = search.next(*m_grid->editor()->store(), at.isValid() ? at.row() : -1,
                                           at.isValid() ? at.column() : -1);
    if (row < 0)
        return m_find->showResult(QStringLiteral("找不到。"));
    const QModelIndex found = m_grid->model()->index(row, column);
    m_grid->selectionModel()->setCurrentIndex(found, QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(found);
    const QRect cell = m_grid->visualRect(found);
    keepClear(m_find, QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size()));
    m_find->showResult(QString());
}

// The current cell, when it is a match, then on to the next one.
void PlanTools::replaceOne()
{
    const CellSearch search = m_find->search();
    const QModelIndex at = m_grid->currentIndex();
    const QString shown = at.data().toString();
    if (at.isValid() && search.matches(shown))
        m_grid->editor()->editCell(at.row(), at.column(), search.replaced(shown, m_find->replacement()), &shown);
    findNext();
}

void PlanTools::replaceAll()
{
    int changed = 0;
    if (m_grid->editor()->replaceAll(m_find->search(), m_find->replacement(), &changed))
        m_find->showResult(QStringLiteral("已替换 %1 处。").arg(changed));
}
