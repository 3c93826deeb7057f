#pragma once

#include <QTableView>

class ChannelCursor;
class ChannelEditor;
class QAction;

// DataGrid1: 信道表 in the main window, with the design's captions, column
// widths, fonts and row height. It shares the table's cursor as its selection.
//
// Cells and rows are selected as in a spreadsheet, and the row commands act on
// the selection: each is an action with its key, in the context menu of the
// cells and of the row headers. After select-all they act on every row of the
// file, not only on those read so far. Down on the last row adds an empty row
// below it, as in a spreadsheet.
class ChannelGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ChannelGrid(QWidget *parent = nullptr);

    void setCursor(ChannelCursor *cursor);
    using QTableView::edit;
    void selectAll() override;

    // Hands a cell still being edited to the model, so that closing the window
    // or starting a transfer does not drop what the operator typed.
    void commitPendingEdit();
    // While a transfer runs, the current row is the frame being sent: keys and
    // clicks leave it alone, the grid can still be scrolled and read.
    void setFollowing(bool following) { m_following = following; }

    // The row commands, in menu order (separators included).
    QList<QAction *> commands() const { return actions(); }

    // The selected cells (every cell of the file after select-all), or the
    // current one when none is selected.
    QModelIndexList selectedCells();
    ChannelEditor *editor() const;

    void insertRow();
    void duplicateRows();
    void deleteRows();
    void moveRows(int step);
    void clearCells();
    void copyCells();
    void cutCells();
    void pasteCells();

signals:
    // The operator tried to type into a table that cannot be changed.
    void editRefused();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    void applyDesign();
    void createActions();
    QAction *command(const QString &text, const QList<QKeySequence> &keys, const char *name);
    QList<int> selectedRowsOrCurrent();
    void selectWholeTableIfAll();
    void fetchAll();
    void fitRowNumbers();
    void selectRows(int first, int count, int current);
    bool appendRowBelowLast(QKeyEvent *event);

    ChannelCursor *m_cursor = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    bool m_following = false;
    bool m_allSelected = false;   // select-all was the last thing that changed the selection
};
