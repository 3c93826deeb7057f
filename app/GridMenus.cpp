#include "GridMenus.h"

#include "EditMenu.h"
#include "ViewMenu.h"

#include <QMenuBar>

void GridMenus::add(QMenuBar *bar, ChannelGrid *grid)
{
    // 显示 is inside 编辑: the designed items leave the bar room for one more menu.
    auto *edit = new EditMenu(grid, bar->window());
    edit->addSeparator();
    edit->addMenu(new ViewMenu(grid, edit));
    bar->addMenu(edit);
}
