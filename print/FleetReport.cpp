#include "FleetReport.h"

#include "SheetStyle.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSet>

#include <algorithm>

// 电脑 last: a fleet loaded at several PCs is reported from their journals together.
static const struct { const char16_t *caption; double width; bool right; } columns[] = {
    { u"序号", 0.05, true },      { u"电台", 0.10, false }, { u"时间", 0.17, false }, { u"信道文件", 0.10, false },
    { u"传送校验", 0.16, false }, { u"帧数", 0.05, true },  { u"警告", 0.05, true },  { u"结果", 0.23, false },
    { u"电脑", 0.09, false },
};
constexpr int columnCount = int(sizeof columns / sizeof columns[0]);
// A checksum's first digits find it on a channel sheet's foot; the whole one is in the journal.
constexpr int checksumDigits = 16;

struct FleetReport::Layout
{
    QFont title, text;
    double line = 0, width = 0, height = 0, top = 0;
    int perPage = 1;
    int pages(int items) const { return qMax(1, (items + perPage - 1) / perPage); }
};

FleetReport::FleetReport(const QVector<TransferJournal::Entry> &entries, const QDate &since, const QDate &printed)
    : m_entries(entries)
    , m_since(since)
    , m_printed(printed)
{
    // The journal is newest first; a stable sort keeps that within each radio.
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const TransferJournal::Entry &a, const TransferJournal::Entry &b) {
                         if (a.radio.isEmpty() != b.radio.isEmpty())
                             return b.radio.isEmpty();
                         return a.radio < b.radio;
                     });
}

int FleetReport::radioCount() const
{
    QSet<QString> radios;
    for (const TransferJournal::Entry &e : m_entries)
        if (!e.radio.isEmpty())
            radios.insert(e.radio);
    return int(radios.size());
}

FleetReport::Layout FleetReport::layout(QPagedPaintDevice *device) const
{
    Layout l;
    l.title = SheetStyle::titleFont();
    l.text = SheetStyle::textFont();
    l.line = QFontMetricsF(l.text, device).height() * 1.35;
    l.width = device->width();
    l.height = device->height();
    l.top = QFontMetricsF(l.title, device).height() * 1.4 + l.line * 2.4;
    l.perPage = qMax(1, int((l.height - l.top - l.line * (severalHeads() ? 2.5 : 1.5)) / l.line));
    return l;
}

int FleetReport::pageCount(QPagedPaintDevice *device) const
{
    SheetStyle::setUpPage(device);
    return layout(device).pages(loadCount());
}

bool FleetReport::print(QPagedPaintDevice *device) const
{
    const int pages = pageCount(device);
    const Layout l = layout(device);
    return SheetStyle::printPages(device, pages, [&](QPainter &painter, int page) { paintPage(painter, l, page); });
}

QStringList FleetReport::cellsOf(int index) const
{
    const TransferJournal::Entry &e = m_entries.at(index);
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    QString result = e.resultWords();
    const QString detail = e.isLoad() ? e.detail : e.problem;
    if (!detail.isEmpty())
        result += u'：' + detail;
    return { QString::number(index + 1),
             orDash(e.radio),
             e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
             orDash(QFileInfo(e.file).fileName()),
             orDash(e.sha256.left(checksumDigits)),
             QString::number(e.framesSent),
             e.warnings < 0 ? QStringLiteral("-") : QString::number(e.warnings),   // not asked
             result,
             orDash(e.host) };
}

void FleetReport::paintPage(QPainter &painter, const Layout &l, int page) const
{
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(l.title);
    const double titleHeight = QFontMetricsF(l.title, painter.device()).height() * 1.4;
    painter.drawText(QRectF(0, 0, l.width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("QT7020 电台传送记录"));
    painter.setFont(l.text);
    double y = titleHeight;
    const QString span = m_since.isValid() ? QStringLiteral("自 %1 起，").arg(m_since.toString(Qt::ISODate)) : QString();
    painter.drawText(QRectF(0, y, l.width, l.line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1电台 %2 部，传送 %3 次").arg(span).arg(radioCount()).arg(loadCount()));
    painter.drawText(QRectF(0, y, l.width, l.line), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("日期：%1年%2月%3日").arg(m_printed.year()).arg(m_printed.month()).arg(m_printed.day()));
    y += l.line * 1.4;

    const QFontMetricsF metrics(l.text, painter.device());
    const double gap = l.width * 0.01;
    auto drawLine = [&](const QStringList &cells) {
        double x = 0;
        for (int c = 0; c < columnCount; ++c) {
            const double w = columns[c].width * l.width;
            const QRectF cell(x, y, w - gap, l.line);
            painter.drawText(cell, (columns[c].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             metrics.elidedText(cells.value(c), Qt::ElideRight, cell.width()));
            x += w;
        }
        y += l.line;
    };
    QStringList heads;
    for (const auto &c : columns)
        heads << QString::fromUtf16(c.caption);
    drawLine(heads);
    painter.drawLine(QPointF(0, y), QPointF(l.width, y));
    for (int i = page * l.perPage; i < qMin(loadCount(), (page + 1) * l.perPage); ++i) {
        // A thin rule where the next radio's loads begin.
        if (i > page * l.perPage && m_entries.at(i).radio != m_entries.at(i - 1).radio)
            painter.drawLine(QPointF(0, y), QPointF(l.width, y));
        drawLine(cellsOf(i));
    }
    if (m_entries.isEmpty())
        drawLine({ QString(), QStringLiteral("没有传送记录") });
    paintFoot(painter, l, page);
}

// One journal's head is 64 digits, printed short at the foot; several
// journals' heads come shortened, each with its PC's name, on a line above it.
bool FleetReport::severalHeads() const
{
    return !m_head.isEmpty() && m_head.size() != 64;
}

void FleetReport::paintFoot(QPainter &painter, const Layout &l, int page) const
{
    const QRectF foot(0, l.height - l.line, l.width, l.line);
    QString text = QStringLiteral("传送校验：SHA-256 的前 %1 位，与信道表页脚的校验对照。").arg(checksumDigits);
    const QString heads = QStringLiteral("传送记录校验链头：%1").arg(m_head.isEmpty() ? QStringLiteral("-") : m_head.left(checksumDigits));
    if (severalHeads())
        painter.drawText(foot.translated(0, -l.line), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("传送记录校验链头：") + m_head);
    else
        text += heads;
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(l.pages(loadCount())));
}

bool FleetReport::writePdf(const QString &path, QString *error) const
{
    return SheetStyle::writePdf(path, QStringLiteral("QT7020 电台传送记录"),
                                [this](QPagedPaintDevice *device) { return print(device); }, error);
}
