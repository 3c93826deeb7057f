#include "PlanCheckDialog.h"

#include "ChannelStore.h"
#include "DesignColours.h"
#include "PlanCheck.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>

static constexpr int rowRole = Qt::UserRole;
static constexpr int columnRole = Qt::UserRole + 1;

PlanCheckDialog::PlanCheckDialog(ChannelStore *channels, int sentRows, QWidget *parent)
    : ListMessage(QStringLiteral("检查信道表"), parent)
    , m_channels(channels)
    , m_sentRows(sentRows)
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
    list()->clear();
    int errors = 0;
    for (const PlanFinding &finding : PlanCheck::check(*m_channels, m_sentRows)) {
        auto *item = new QListWidgetItem(PlanCheck::describe(finding, *m_channels), list());
        item->setData(rowRole, finding.row);
        item->setData(columnRole, finding.column);
        item->setBackground(finding.error ? DesignColours::problemCell : DesignColours::warningCell);
        errors += finding.error;
    }
    const int warnings = findingCount() - errors;
    if (findingCount() == 0)
        setSummary(QStringLiteral("前 %1 行没有发现问题。").arg(m_sentRows));
    else
        setSummary(QStringLiteral("前 %1 行中有 %2 处错误、%3 处警告（双击一行转到那个单元格）。")
                           .arg(m_sentRows).arg(errors).arg(warnings));
}

int PlanCheckDialog::findingCount() const
{
    return list()->count();
}
