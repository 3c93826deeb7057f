#pragma once

#include <QObject>
#include <QPointer>

class ChannelGrid;
class FindReplaceDialog;
class GridZoom;
class QAction;
class QKeySequence;

// The plan tools of the grid: 排序…, 填充序列…, 频率计算…, 查找…, 替换…,
// 放大 and 缩小, each an action with its key in the grid's context menu
// (after the row commands) and for the window's 编辑 menu. Each change is one
// step of the editor's history.
class PlanTools : public QObject
{
    Q_OBJECT
public:
    explicit PlanTools(ChannelGrid *grid);
    // In menu order, separators included.
    QList<QAction *> actions() const { return m_actions; }

    void sort();
    void fill();
    void computeFrequencies();
    void openFind(bool replacing);
    void findNext();
    void replaceOne();
    void replaceAll();

private:
    QAction *add(const QString &text, const QList<QKeySequence> &keys, const char *name);
    void addSeparator();

    ChannelGrid *m_grid;
    GridZoom *m_zoom;
    QPointer<FindReplaceDialog> m_find;
    QList<QAction *> m_actions;
};
