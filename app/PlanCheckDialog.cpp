#include "PlanCheckDialog.h"

#include "DesignColours.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

static constexpr int rowRole = Qt::UserRole;
static constexpr int columnRole = Qt::UserRole + 1;

PlanCheckDialog::PlanCheckDialog(const std::function<LoadPlan()> &plan, QWidget *parent)
    : QDialog(parent)
    , m_plan(plan)
    , m_band(new QLabel(this))
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("检查"));
    setWindowTitle(QStringLiteral("检查信道表"));
    resize(640, 360);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QPushButton *again = buttons->addButton(QStringLiteral("重新检查"), QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_band);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(again, &QPushButton::clicked, this, &PlanCheckDialog::refresh);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (item->data(rowRole).isValid())
            emit cellRequested(item->data(rowRole).toInt(), item->data(columnRole).toInt());
    });
    refresh();
}

void PlanCheckDialog::refresh()
{
    const LoadPlan plan = m_plan();
    m_band->setText(QStringLiteral("频段规划：%1").arg(plan.bandName()));
    m_list->clear();
    for (const LoadPlan::Finding &finding : plan.findings()) {
        auto *item = new QListWidgetItem(LoadPlan::describe(finding), m_list);
        item->setData(rowRole, finding.row);
        item->setData(columnRole, finding.what.field);
        item->setBackground(finding.what.isError() ? DesignColours::problemCell : DesignColours::warningCell);
    }
    if (m_list->count() == 0)
        new QListWidgetItem(QStringLiteral("前 %1 行没有发现问题。").arg(LoadPlan::rowsSent), m_list);
}
