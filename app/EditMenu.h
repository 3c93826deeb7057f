#pragma once

#include <QMenu>

class ChannelGrid;

// 编辑: the grid's row commands and plan tools (排序…, 填充序列…, 频率计算…,
// 查找…, 替换…, 放大, 缩小), the same actions and keys as its context menu.
class EditMenu : public QMenu
{
    Q_OBJECT
public:
    EditMenu(ChannelGrid *grid, QWidget *parent);
};
