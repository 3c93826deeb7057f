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

    // Hands a cell still being edited to the model, so that closing the window
    // or starting a transfer does not drop what the operator typed.
    void commitPendingEdit();

private:
    void applyDesign();
};
