#include "FillDialog.h"

#include "ChannelFields.h"
#include "FieldValue.h"
#include "FillSeriesCommand.h"
#include "Frequency.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

FillDialog::FillDialog(int column, const QString &first, int count, QWidget *parent)
    : ToolDialog(QStringLiteral("填充序列"), parent)
    , m_column(column)
    , m_count(count)
    , m_frequency(column == ChannelFields::Receive || column == ChannelFields::Transmit)
    , m_startEdit(new QLineEdit(this))
    , m_stepEdit(new QLineEdit(this))
{
    m_startEdit->setObjectName(QStringLiteral("start"));
    m_stepEdit->setObjectName(QStringLiteral("step"));
    const bool numeric = amount(first, Frequency::Unit::MHz).has_value();
    m_startEdit->setText(numeric ? first : QStringLiteral("1"));
    m_stepEdit->setText(m_frequency ? QStringLiteral("12.5") : QStringLiteral("1"));
    const QString cells = QStringLiteral("%1，共选中 %2 格").arg(ChannelFields::name(column)).arg(count);
    form()->addRow(QStringLiteral("列："), new QLabel(cells, this));
    form()->addRow(m_frequency ? QStringLiteral("起始值（MHz）：") : QStringLiteral("起始值："), m_startEdit);
    form()->addRow(m_frequency ? QStringLiteral("步长（kHz）：") : QStringLiteral("步长："), m_stepEdit);
    connect(m_startEdit, &QLineEdit::textChanged, this, &FillDialog::check);
    connect(m_stepEdit, &QLineEdit::textChanged, this, &FillDialog::check);
    check();
}

// What was typed in the column's unit: steps of 100 Hz, in the frequencies
// typed in `unit`, else whole numbers.
std::optional<qint64> FillDialog::amount(const QString &typed, Frequency::Unit unit) const
{
    if (!m_frequency)
        return FieldValue::exactDecimal(typed, 0);
    const auto frequency = Frequency::parse(typed, unit);
    return frequency ? std::optional(frequency->units()) : std::nullopt;
}

// The series as it will be, or what keeps it from being one.
void FillDialog::check()
{
    const auto start = amount(m_startEdit->text(), Frequency::Unit::MHz);
    const auto step = amount(m_stepEdit->text(), Frequency::Unit::kHz);
    setAcceptable(start && step);
    if (!start || !step) {
        setNote(m_frequency ? QStringLiteral("请输入数字：频率精确到 0.0001 MHz，步长精确到 0.1 kHz。")
                            : QStringLiteral("请输入整数。"));
        return;
    }
    m_start = *start;
    m_step = *step;
    QStringList shown;
    for (int k = 0; k < std::min(m_count, 3); ++k)
        shown << FieldValue::fieldText(FillSeriesCommand::valueAt(m_column, m_start, m_step, k));
    if (m_count > 3)
        shown << QStringLiteral("…") << FieldValue::fieldText(FillSeriesCommand::valueAt(m_column, m_start, m_step, m_count - 1));
    setNote(QStringLiteral("填入：%1").arg(shown.join(QStringLiteral("，"))));
}
