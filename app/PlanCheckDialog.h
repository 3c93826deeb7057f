#pragma once

#include <QDialog>

class ChannelStore;
class QListWidget;

// 检查信道表: every error and warning among the rows a transfer sends, one line
// each; a double-click asks for its cell.
class PlanCheckDialog : public QDialog
{
    Q_OBJECT
public:
    PlanCheckDialog(ChannelStore *channels, int sentRows, QWidget *parent = nullptr);

    // Checks the table as it is now.
    void refresh();
    int findingCount() const;

signals:
    void cellRequested(int row, int column);

private:
    ChannelStore *m_channels;
    int m_sentRows;
    QListWidget *m_list;
};
