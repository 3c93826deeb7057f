#include "PlanCheckDialog.h"

#include "DesignColours.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>

static constexpr int rowRole = Qt::UserRole;
static constexpr int columnRole = Qt::UserRole + 1;

PlanCheckDialog::PlanCheckDialog(const std::function<LoadPlan()> &plan, QWidget *parent)
    : ListMessage(QStringLiteral("检查信道表"), parent)
    , m_plan(plan)
{
    setObjectName(QStringLiteral("检查"));
    QPushButton *close = buttons()->addButton(QDialogButtonBox::Close);
    close->setText(QStringLiteral("关闭"));
    close->setDefault(true);
    QPushButton *again = buttons()->addButton(QStringLiteral("重新检查"), QDialogButtonBox::ActionRole);
    again->setAutoDefault(false);
    connect(again, &QPushButton::clicked, this, &PlanCheckDialog::refresh);
    connect(list(), &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        emit cellRequested(item->data(rowRole).toInt(), item->data(columnRole).toInt());
    });
    refresh();
}

void PlanCheckDialog::refresh()
{
    const LoadPlan plan = m_plan();
    list()->clear();
    int errors = 0;
    for (const LoadPlan::Finding &finding : plan.findings()) {
        auto *item = new QListWidgetItem(LoadPlan::describe(finding), list());
        item->setData(rowRole, finding.row);
        item->setData(columnRole, finding.what.field);
        item->setBackground(finding.what.isError() ? DesignColours::problemCell : DesignColours::warningCell);
        errors += finding.what.isError();
    }
    const QString band = QStringLiteral("（频段规划：%1）").arg(plan.bandName());
    if (list()->count() == 0)
        setSummary(QStringLiteral("前 %1 行没有发现问题%2。").arg(LoadPlan::rowsSent).arg(band));
    else
        setSummary(QStringLiteral("前 %1 行中有 %2 处错误、%3 处警告%4：%5（双击一行转到那个单元格）。")
                           .arg(LoadPlan::rowsSent)
                           .arg(errors)
                           .arg(plan.warningCount())
                           .arg(band, plan.summary().isEmpty() ? QStringLiteral("见下") : plan.summary()));
}
