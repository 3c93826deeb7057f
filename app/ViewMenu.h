#pragma once

#include <QMenu>
#include <QRect>
#include <QSize>

class ChannelGrid;

// 编辑 → 显示 → 表格随窗口放大: the grid grows with the window, which may then be
// resized, instead of keeping its designed place and size. Off unless the
// operator turns it on; the choice is kept in the settings (view/stretchGrid).
// The grid's column widths are kept per plan file (ColumnWidths).
class ViewMenu : public QMenu
{
    Q_OBJECT
public:
    ViewMenu(ChannelGrid *grid, QWidget *parent);

    static QString stretchKey() { return QStringLiteral("view/stretchGrid"); }
    void setStretching(bool stretching);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ChannelGrid *m_grid;
    QWidget *m_client;   // the window's client area, the grid's parent
    QRect m_designedGrid;
    QSize m_designedClient;
    bool m_stretching = false;
};
