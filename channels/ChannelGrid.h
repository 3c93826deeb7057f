#pragma once

#include <QTableView>

class ChannelCursor;

// DataGrid1: 信道表 in the main window, with the design's captions, column
// widths, fonts and row height. It shares the table's cursor as its selection.
class ChannelGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ChannelGrid(QWidget *parent = nullptr);

    void setCursor(ChannelCursor *cursor);
    using QTableView::edit;

    // Hands a cell still being edited to the model, so that closing the window
    // or starting a transfer does not drop what the operator typed.
    void commitPendingEdit();

signals:
    // The operator tried to type into a table that cannot be changed.
    void editRefused();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    void applyDesign();
};
