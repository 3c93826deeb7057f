#include "PlanCheckDialog.h"

#include "ChannelStore.h"
#include "DesignColours.h"
#include "PlanCheck.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

static constexpr int rowRole = Qt::UserRole;
static constexpr int columnRole = Qt::UserRole + 1;

PlanCheckDialog::PlanCheckDialog(ChannelStore *channels, int sentRows, QWidget *parent)
    : QDialog(parent)
    , m_channels(channels)
    , m_sentRows(sentRows)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("检查"));
    setWindowTitle(QStringLiteral("检查信道表"));
    resize(640, 360);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QPushButton *again = buttons->addButton(QStringLiteral("重新检查"), QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
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
    m_list->clear();
    for (const PlanFinding &finding : PlanCheck::check(*m_channels, m_sentRows)) {
        auto *item = new QListWidgetItem(PlanCheck::describe(finding, *m_channels), m_list);
        item->setData(rowRole, finding.row);
        item->setData(columnRole, finding.column);
        item->setBackground(finding.error ? DesignColours::problemCell : DesignColours::warningCell);
    }
    if (m_list->count() == 0)
        new QListWidgetItem(QStringLiteral("前 %1 行没有发现问题。").arg(m_sentRows), m_list);
}

int PlanCheckDialog::findingCount() const
{
    return m_list->count() == 1 && !m_list->item(0)->data(rowRole).isValid() ? 0 : m_list->count();
}
