#pragma once

#include <QObject>
#include <QRect>
#include <QSize>

class ChannelGrid;
class QWidget;

// 表格随窗口放大: the grid grows with the window, which may then be resized,
// instead of keeping its designed place and size; 备注 takes the width the
// other columns leave. Off unless the operator turns it on; the choice is kept
// in the settings (view/stretchGrid).
class GridStretch : public QObject
{
    Q_OBJECT
public:
    explicit GridStretch(ChannelGrid *grid);

    static QString stretchKey() { return QStringLiteral("view/stretchGrid"); }
    static bool chosen();
    // Turns it on or off and keeps the choice.
    void choose(bool stretching);
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
