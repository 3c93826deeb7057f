#pragma once

#include "ListMessage.h"
#include "LoadPlan.h"

#include <functional>

// 检查信道表: every error and warning among the rows a transfer sends, one line
// each under a count of each kind and the band plan they were held to; a
// double-click asks for its cell.
class PlanCheckDialog : public ListMessage
{
    Q_OBJECT
public:
    // `plan` works out the plan a load would send now.
    explicit PlanCheckDialog(const std::function<LoadPlan()> &plan, QWidget *parent = nullptr);

    // Checks the table as it is now.
    void refresh();

signals:
    void cellRequested(int row, int column);

private:
    std::function<LoadPlan()> m_plan;
};
