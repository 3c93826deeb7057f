#include "ChannelSheet.h"

#include "ChannelFields.h"
#include "ChannelFrame.h"
#include "FieldValue.h"

#include <iterator>
#include <optional>

// Column widths in parts of the page width; the remark takes what is left.
static const TablePages::Column columns[] = {
    { u"序号", 0.07, Qt::AlignRight },   { u"记录编号", 0.10, Qt::AlignRight }, { u"信道号", 0.08, Qt::AlignRight },
    { u"接收频率", 0.13, Qt::AlignRight }, { u"发送频率", 0.13, Qt::AlignRight }, { u"差频 (MHz)", 0.12, Qt::AlignRight },
    { u"传送", 0.07, Qt::AlignLeft },    { u"检查", 0.07, Qt::AlignLeft },    { u"备注", 0.23, Qt::AlignLeft },
};

ChannelSheet::ChannelSheet(const QVector<QVariantList> &rows, const LoadPlan &plan, const QString &fileName,
                           const QDate &date)
    : m_rows(rows)
    , m_fileName(fileName)
    , m_date(date)
    , m_checksum(plan.checksum())
{
    // As --check finds them: 错误 outweighs 警告 on a row.
    m_marks.resize(std::min(int(rows.size()), LoadPlan::rowsSent));
    for (const LoadPlan::Finding &finding : plan.findings())
        if (finding.row < m_marks.size() && m_marks.at(finding.row) != QStringLiteral("错误"))
            m_marks[finding.row] = finding.what.isError() ? QStringLiteral("错误") : QStringLiteral("警告");
}

// What the sheet prints for a frequency: the one the frame carries, read
// and rounded by the encoder itself, so the sheet cannot round apart from the
// radio; a finite number the frame leaves at 000000 or refuses, rounded as the
// frame would. None for anything else.
static std::optional<Frequency> printed(const QVariant &value, int field)
{
    const bool receive = field == ChannelFields::Receive;
    // Any valid channel number: only the frequency is wanted here.
    const ChannelFrame frame = ChannelFrame::encode(1, receive ? value : QVariant(), receive ? QVariant() : value);
    const Frequency carried = receive ? frame.receive() : frame.transmit();
    if (frame.isValid() && !carried.isZero())
        return carried;
    bool ok = false;
    const double megahertz = FieldValue::fieldText(value).toDouble(&ok);
    return ok ? Frequency::nearest(megahertz) : std::nullopt;
}

QString ChannelSheet::frequency(const QVariantList &row, int field)
{
    const auto shown = printed(row.value(field), field);
    return shown ? shown->fixedText() : FieldValue::fieldText(row.value(field));
}

QString ChannelSheet::offset(const QVariantList &row)
{
    const auto rx = printed(row.value(ChannelFields::Receive), ChannelFields::Receive);
    const auto tx = printed(row.value(ChannelFields::Transmit), ChannelFields::Transmit);
    if (!rx || !tx)
        return QString();
    return (*rx < *tx ? QStringLiteral("+") : QString()) + (*tx - *rx).fixedText();
}

TablePages ChannelSheet::pages() const
{
    TablePages pages(QStringLiteral("QT7020 信道表"), QStringLiteral("文件：%1").arg(m_fileName), m_date,
                     QVector<TablePages::Column>(std::begin(columns), std::end(columns)));
    for (int r = 0; r < m_rows.size(); ++r) {
        if (r == LoadPlan::rowsSent)
            pages.addDivider(QStringLiteral("以下各行不传送"));
        pages.addRow(cellsOf(r));
    }
    // The rows a transfer sends, and the rule under them, are the plan the
    // radio gets: one page holds them all.
    pages.keepTogether(qMin(int(m_rows.size()), LoadPlan::rowsSent) + (m_rows.size() > LoadPlan::rowsSent));
    pages.setFoot(QStringLiteral("传送校验 SHA-256: ")
                  + (m_checksum.isEmpty() ? QStringLiteral("无（有不能传送的行或没有数据）") : m_checksum));
    return pages;
}

// Row `r` as the sheet prints it: number, record, channel, the frequencies
// the frame carries, offset, whether it is sent, its check mark, the remark.
QStringList ChannelSheet::cellsOf(int r) const
{
    const QVariantList &row = m_rows.at(r);
    QStringList cells{ QString::number(r + 1) };
    cells << FieldValue::fieldText(row.value(ChannelFields::Record))
          << FieldValue::fieldText(row.value(ChannelFields::Channel))
          << frequency(row, ChannelFields::Receive) << frequency(row, ChannelFields::Transmit);
    cells << offset(row) << (r < LoadPlan::rowsSent ? QStringLiteral("是") : QString()) << m_marks.value(r)
          << FieldValue::fieldText(row.value(ChannelFields::Remark));
    return cells;
}

bool ChannelSheet::writePdf(const QString &path, QString *error) const
{
    return pages().writePdf(path, QStringLiteral("QT7020 信道表 %1").arg(m_fileName), error);
}
