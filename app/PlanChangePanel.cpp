#include "PlanChangePanel.h"

#include "LoadComparison.h"
#include "LoadPlan.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

PlanChangePanel::PlanChangePanel(QWidget *parent)
    : QWidget(parent)
    , m_heading(new QLabel(this))
    , m_text(new QPlainTextEdit(this))
    , m_continue(new QPushButton(QStringLiteral("继续(&C)"), this))
{
    m_heading->setWordWrap(true);
    m_text->setObjectName(QStringLiteral("改动"));
    m_text->setReadOnly(true);
    m_text->setFocusPolicy(Qt::NoFocus);   // the keys stay with the label field
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setMinimumHeight(fontMetrics().height() * 6);
    m_text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);   // the loads keep their room
    m_continue->setObjectName(QStringLiteral("继续"));
    m_continue->setAutoDefault(false);
    m_continue->setFocusPolicy(Qt::NoFocus);
    auto *heading = new QHBoxLayout;
    heading->addWidget(m_heading, 1);
    heading->addWidget(m_continue);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(heading);
    layout->addWidget(m_text, 1);
    connect(m_continue, &QPushButton::clicked, this, &PlanChangePanel::continueRequested);
    setVisible(false);
}

void PlanChangePanel::present(const LoadPlan &old, const LoadPlan &now)
{
    m_checksum = now.checksum();
    m_continue->setVisible(now.isSendable());
    if (!now.isSendable()) {
        m_heading->setText(QStringLiteral("信道文件已改动，改动后的信道表不能传送。改好信道文件后即可继续："));
        m_text->setPlainText(now.refusal());
        return;
    }
    m_heading->setText(QStringLiteral("信道文件已改动。看过改动后按“继续”，后面的电台传送改动后的信道表："));
    const LoadComparison comparison(old.bytes(), now.bytes());
    m_text->setPlainText(comparison.text(QStringLiteral("原信道表"), QStringLiteral("新信道表"))
                         + QStringLiteral("\n原传送校验：%1\n新传送校验：%2").arg(old.checksum(), now.checksum()));
}
