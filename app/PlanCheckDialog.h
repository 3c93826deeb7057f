#pragma once

#include "LoadPlan.h"

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;

// 检查信道表: every error and warning among the rows a transfer sends, one line
// each, under the band plan they were held to; a double-click asks for its cell.
class PlanCheckDialog : public QDialog
{
    Q_OBJECT
public:
    // `plan` works out the plan a load would send now.
    PlanCheckDialog(const std::function<LoadPlan()> &plan, QWidget *parent = nullptr);

    // Checks the table as it is now.
    void refresh();

signals:
    void cellRequested(int row, int column);

private:
    std::function<LoadPlan()> m_plan;
    QLabel *m_band;
    QListWidget *m_list;
};
