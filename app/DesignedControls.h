#pragma once

#include <QWidget>

class ChannelCursor;
class ChannelGrid;
class QLabel;
class QProgressBar;

// The client area of 启动窗体 as it was designed: the rule, the date frame
// with Label8, the title and the model labels, the status label Label2,
// ProgressBar1 and DataGrid1, each at its place in twips and in its font
// and colour. The grid shows the window's cursor.
class DesignedControls : public QWidget
{
    Q_OBJECT
public:
    DesignedControls(ChannelCursor *cursor, QWidget *window);

    QLabel *date() const { return m_date; }
    QLabel *status() const { return m_status; }
    QProgressBar *progress() const { return m_progress; }
    ChannelGrid *grid() const { return m_grid; }

private:
    void addLabels();

    QLabel *m_date = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    ChannelGrid *m_grid = nullptr;
};
