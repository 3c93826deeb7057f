#pragma once

class ChannelGrid;
class QMenuBar;

// The menu the grid brings to the window's menu bar: 编辑 (its commands and
// plan tools), ending in 显示 (how it is laid out).
namespace GridMenus {
void add(QMenuBar *bar, ChannelGrid *grid);
}
