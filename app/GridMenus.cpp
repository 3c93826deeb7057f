#include "GridMenus.h"

#include "EditMenu.h"
#include "ViewMenu.h"

#include <QMenuBar>

void GridMenus::add(QMenuBar *bar, ChannelGrid *grid)
{
    bar->addMenu(new EditMenu(grid, bar->window()));
    bar->addMenu(new ViewMenu(grid, bar->window()));
}
