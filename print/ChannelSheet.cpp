#include "ChannelSheet.h"

#include "ChannelFields.h"
#include "ChannelFrame.h"
#include "FieldValue.h"
#include "SheetStyle.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSet>

#include <cmath>
#include <optional>

// Column widths in parts of the page width; the remark takes what is left.
static const struct { const char16_t *caption; double width; bool right; } columns[] = {
    { u"序号", 0.07, true },      { u"记录编号", 0.10, true }, { u"信道号", 0.08, true },
    { u"接收频率", 0.13, true },  { u"发送频率", 0.13, true }, { u"差频 (MHz)", 0.12, true },
    { u"传送", 0.07, false },     { u"检查", 0.07, false },  { u"备注", 0.23, false },
};
constexpr int columnCount = int(sizeof columns / sizeof columns[0]);
constexpr int ruleItem = -1;   // the line between the rows sent and the rest

struct ChannelSheet::Layout
{
    QFont title, text;
    double line = 0, width = 0, height = 0, top = 0;
    int perPage = 1;
    QVector<int> items;   // row indexes, with ruleItem where the rule goes
    int pages() const { return qMax(1, int((items.size() + perPage - 1) / perPage)); }
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

// Four decimals are the radio's 100 Hz step, and line the column up on the point.
static QString megahertz(qint64 units)
{
    const qint64 whole = qAbs(units);
    return QStringLiteral("%1%2.%3")
            .arg(units < 0 ? QStringLiteral("-") : QString())
            .arg(whole / 10000)
            .arg(whole % 10000, 4, 10, QLatin1Char('0'));
}

// The frequency the frame carries, in units of 100 Hz: the encoder's own
// reading and rounding (halves to even), so the sheet cannot round apart
// from the radio. None for a field the frame leaves at 000000 or refuses.
static std::optional<qint64> carried(const QVariant &value, int field)
{
    const bool receive = field == ChannelFields::Receive;
    // Any valid channel number: only the frequency is wanted here.
    const ChannelFrame frame = ChannelFrame::encode(1, receive ? value : QVariant(), receive ? QVariant() : value);
    const qint64 units = receive ? frame.receiveUnits() : frame.transmitUnits();
    if (!frame.isValid() || units == 0)
        return std::nullopt;
    return units;
}

// What the sheet prints for a frequency, in units of 100 Hz; none unless it
// is a finite number (what a frame cannot carry, rounded as the frame would).
static std::optional<qint64> printed(const QVariant &value, int field)
{
    if (const auto units = carried(value, field))
        return units;
    bool ok = false;
    const double mhz = FieldValue::fieldText(value).toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || std::fabs(mhz) > 1e12)
        return std::nullopt;
    return qint64(std::nearbyint(mhz * 1e4));
}

QString ChannelSheet::frequency(const QVariantList &row, int field)
{
    const auto units = printed(row.value(field), field);
    return units ? megahertz(*units) : FieldValue::fieldText(row.value(field));
}

QString ChannelSheet::offset(const QVariantList &row)
{
    const auto rx = printed(row.value(ChannelFields::Receive), ChannelFields::Receive);
    const auto tx = printed(row.value(ChannelFields::Transmit), ChannelFields::Transmit);
    if (!rx || !tx)
        return QString();
    return (*tx > *rx ? QStringLiteral("+") : QString()) + megahertz(*tx - *rx);
}

ChannelSheet::Layout ChannelSheet::layout(QPagedPaintDevice *device) const
{
    Layout l;
    l.title = SheetStyle::titleFont();
    l.text = SheetStyle::textFont();
    const QFontMetricsF titleMetrics(l.title, device);
    l.line = QFontMetricsF(l.text, device).height() * 1.35;
    l.width = device->width();
    l.height = device->height();
    // Title, file and date, column heads; the checksum and the page number at the foot.
    const double title = titleMetrics.height() * 1.4;
    const double around = 2.4 + 1.5;   // lines for the heads and the foot
    // The rows a transfer sends, and the rule under them, are the plan the
    // radio gets: one page holds them all, the lines drawn closer if need be.
    const int sent = qMin(int(m_rows.size()), LoadPlan::rowsSent) + (m_rows.size() > LoadPlan::rowsSent);
    l.line = qMin(l.line, (l.height - title) / (sent + around + 0.01));
    l.top = title + l.line * 2.4;
    l.perPage = qMax(1, int((l.height - l.top - l.line * 1.5) / l.line));
    for (int r = 0; r < m_rows.size(); ++r) {
        if (r == LoadPlan::rowsSent)
            l.items << ruleItem;
        l.items << r;
    }
    return l;
}

int ChannelSheet::pageCount(QPagedPaintDevice *device) const
{
    SheetStyle::setUpPage(device);
    return layout(device).pages();
}

bool ChannelSheet::print(QPagedPaintDevice *device) const
{
    const int pages = pageCount(device);
    const Layout l = layout(device);
    return SheetStyle::printPages(device, pages, [&](QPainter &painter, int page) { paintPage(painter, l, page); });
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

void ChannelSheet::paintPage(QPainter &painter, const Layout &l, int page) const
{
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(l.title);
    const double titleHeight = QFontMetricsF(l.title, painter.device()).height() * 1.4;
    painter.drawText(QRectF(0, 0, l.width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("QT7020 信道表"));
    painter.setFont(l.text);
    double y = titleHeight;
    painter.drawText(QRectF(0, y, l.width, l.line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("文件：%1").arg(m_fileName));
    painter.drawText(QRectF(0, y, l.width, l.line), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("日期：%1年%2月%3日").arg(m_date.year()).arg(m_date.month()).arg(m_date.day()));
    y += l.line * 1.4;

    const double gap = l.width * 0.01;
    auto drawLine = [&](const QStringList &cells) {
        double x = 0;
        for (int c = 0; c < columnCount; ++c) {
            const double w = columns[c].width * l.width;
            const QRectF cell(x, y, w - gap, l.line);
            const QString text = QFontMetricsF(l.text, painter.device()).elidedText(cells.value(c), Qt::ElideRight,
                                                                                    cell.width());
            painter.drawText(cell, (columns[c].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
            x += w;
        }
        y += l.line;
    };
    QStringList heads;
    for (const auto &c : columns)
        heads << QString::fromUtf16(c.caption);
    drawLine(heads);
    painter.drawLine(QPointF(0, y), QPointF(l.width, y));

    for (int i = page * l.perPage; i < qMin(int(l.items.size()), (page + 1) * l.perPage); ++i) {
        const int r = l.items.at(i);
        if (r == ruleItem) {
            painter.setPen(QPen(Qt::black, l.line * 0.1));
            painter.drawLine(QPointF(0, y + l.line * 0.12), QPointF(l.width, y + l.line * 0.12));
            painter.setPen(QPen(Qt::black, 0));
            painter.drawText(QRectF(0, y + l.line * 0.2, l.width, l.line * 0.8), Qt::AlignHCenter | Qt::AlignBottom,
                             QStringLiteral("以下各行不传送"));
            y += l.line;
            continue;
        }
        drawLine(cellsOf(r));
    }
    const QRectF foot(0, l.height - l.line, l.width, l.line);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("传送校验 SHA-256: ")
                             + (m_checksum.isEmpty() ? QStringLiteral("无（有不能传送的行或没有数据）") : m_checksum));
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(l.pages()));
}

bool ChannelSheet::writePdf(const QString &path, QString *error) const
{
    return SheetStyle::writePdf(path, QStringLiteral("QT7020 信道表 %1").arg(m_fileName),
                                [this](QPagedPaintDevice *device) { return print(device); }, error);
}
