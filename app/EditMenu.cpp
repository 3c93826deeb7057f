#include "EditMenu.h"

#include "ChannelGrid.h"
#include "PlanTools.h"

EditMenu::EditMenu(ChannelGrid *grid, QWidget *parent)
    : QMenu(QString(4, u' ') + QStringLiteral("编辑(&E)"), parent)
{
    setObjectName(QStringLiteral("编辑"));
    menuAction()->setObjectName(QStringLiteral("编辑"));
    new PlanTools(grid);   // the grid owns it, and its actions join the grid's commands
    addActions(grid->commands());
}
