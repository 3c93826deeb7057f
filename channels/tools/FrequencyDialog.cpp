#include "FrequencyDialog.h"

#include "ChannelFields.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>

FrequencyDialog::FrequencyDialog(QWidget *parent)
    : ToolDialog(QStringLiteral("频率计算"), parent)
    , m_shift(new QRadioButton(QStringLiteral("选中的频率 = 原频率 + 差值"), this))
    , m_fromReceive(new QRadioButton(QStringLiteral("发送频率 = 接收频率 + 差值（选中的行）"), this))
    , m_fromTransmit(new QRadioButton(QStringLiteral("接收频率 = 发送频率 + 差值（选中的行）"), this))
    , m_amount(new QLineEdit(QStringLiteral("5"), this))
{
    m_shift->setObjectName(QStringLiteral("shift"));
    m_fromReceive->setObjectName(QStringLiteral("fromReceive"));
    m_fromTransmit->setObjectName(QStringLiteral("fromTransmit"));
    m_amount->setObjectName(QStringLiteral("amount"));
    m_fromReceive->setChecked(true);
    form()->addRow(QStringLiteral("计算："), m_fromReceive);
    form()->addRow(QString(), m_fromTransmit);
    form()->addRow(QString(), m_shift);
    form()->addRow(QStringLiteral("差值（MHz）："), m_amount);
    connect(m_amount, &QLineEdit::textChanged, this, &FrequencyDialog::check);
    for (QRadioButton *choice : { m_shift, m_fromReceive, m_fromTransmit })
        connect(choice, &QRadioButton::toggled, this, &FrequencyDialog::check);
    check();
}

void FrequencyDialog::setPreview(const Preview &preview)
{
    m_preview = preview;
    check();
}

int FrequencyDialog::source() const
{
    if (m_fromReceive->isChecked())
        return ChannelFields::Receive;
    return m_fromTransmit->isChecked() ? ChannelFields::Transmit : -1;
}

void FrequencyDialog::check()
{
    const auto amount = Frequency::parse(m_amount->text());
    setAcceptable(amount.has_value());
    m_offset = amount.value_or(Frequency());
    if (!amount)
        return setNote(QStringLiteral("请输入以 MHz 为单位的数字，精确到 0.0001 MHz（100 Hz）。"));
    QString count;
    if (m_preview) {
        const auto [changed, skipped] = m_preview(source(), m_offset);
        count = QStringLiteral("将改变 %1 个单元格").arg(changed)
                + (skipped > 0 ? QStringLiteral("，%1 个没有可用的频率或结果不大于 0，保持原样").arg(skipped) : QString())
                + QStringLiteral("。");
    }
    setNote(count + QStringLiteral("按 100 Hz 精确计算，差值可以为负（如 -0.0125）。没有频率的单元格不变。"));
}
