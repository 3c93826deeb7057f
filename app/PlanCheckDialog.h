#pragma once

#include "ListMessage.h"

class ChannelStore;

// 检查信道表: every error and warning among the rows a transfer sends, one line
// each under a count of each kind; a double-click asks for its cell.
class PlanCheckDialog : public ListMessage
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
};
