#include "TablePages.h"

#include "SheetStyle.h"
#include "SystemCause.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

struct TablePages::Layout
{
    QFont title, text;
    double titleHeight = 0, line = 0, width = 0, height = 0;
    int perPage = 1;
    int pages = 1;
};

TablePages::TablePages(const QString &title, const QString &subtitle, const QDate &date,
                       const QVector<Column> &columns)
    : m_title(title)
    , m_subtitle(subtitle)
    , m_date(date)
    , m_columns(columns)
{
}

TablePages::Layout TablePages::layout(QPagedPaintDevice *device) const
{
    Layout l;
    l.title = SheetStyle::titleFont();
    l.text = SheetStyle::textFont();
    l.titleHeight = QFontMetricsF(l.title, device).height() * 1.4;
    l.line = QFontMetricsF(l.text, device).height() * 1.35;
    l.width = device->width();
    l.height = device->height();
    // In lines: what the title stands over (the line under it, the heads),
    // and the foot with half a line between it and the rows.
    const double foot = (m_footAbove.isEmpty() ? 1 : 2) + 0.5;
    const double around = 2.4 + foot;
    l.line = qMin(l.line, (l.height - l.titleHeight) / (m_keptTogether + around + 0.01));
    const double top = l.titleHeight + l.line * 2.4;
    l.perPage = qMax(1, int((l.height - top - l.line * foot) / l.line));
    l.pages = qMax(1, int((m_rows.size() + l.perPage - 1) / l.perPage));
    return l;
}

int TablePages::pageCount(QPagedPaintDevice *device) const
{
    SheetStyle::setUpPage(device);
    return layout(device).pages;
}

bool TablePages::print(QPagedPaintDevice *device) const
{
    SheetStyle::setUpPage(device);
    const Layout l = layout(device);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    for (int page = 0; page < l.pages; ++page) {
        if (page > 0)
            device->newPage();
        paintPage(painter, l, page);
    }
    return painter.end();
}

bool TablePages::writePdf(const QString &path, const QString &documentTitle, QString *error) const
{
    // Asked first: a writer that cannot open its file says so in English on
    // the terminal before we can say why in Chinese.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("不能写入 %1：%2").arg(path, SystemCause::inChinese(probe.errorString()));
        return false;
    }
    probe.close();
    QPdfWriter writer(path);
    writer.setTitle(documentTitle);
    writer.setCreator(QStringLiteral("qt7020"));
    if (print(&writer))
        return true;
    *error = QStringLiteral("不能写入 %1").arg(path);
    return false;
}

void TablePages::paintPage(QPainter &painter, const Layout &l, int page) const
{
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(l.title);
    painter.drawText(QRectF(0, 0, l.width, l.titleHeight), Qt::AlignLeft | Qt::AlignVCenter, m_title);
    painter.setFont(l.text);
    double y = l.titleHeight;
    const QRectF under(0, y, l.width, l.line);
    painter.drawText(under, Qt::AlignLeft | Qt::AlignVCenter, m_subtitle);
    painter.drawText(under, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("日期：%1年%2月%3日").arg(m_date.year()).arg(m_date.month()).arg(m_date.day()));
    y += l.line * 1.4;

    QStringList heads;
    for (const Column &c : m_columns)
        heads << QString::fromUtf16(c.caption);
    paintCells(painter, l, heads, y);
    y += l.line;
    painter.drawLine(QPointF(0, y), QPointF(l.width, y));

    const int first = page * l.perPage;
    for (int i = first; i < qMin(int(m_rows.size()), first + l.perPage); ++i) {
        const Row &row = m_rows.at(i);
        if (!row.divider.isEmpty()) {
            paintDivider(painter, l, row.divider, y);
        } else {
            if (row.ruleAbove && i > first)
                painter.drawLine(QPointF(0, y), QPointF(l.width, y));
            paintCells(painter, l, row.cells, y);
        }
        y += l.line;
    }
    paintFoot(painter, l, page);
}

void TablePages::paintCells(QPainter &painter, const Layout &l, const QStringList &cells, double y) const
{
    const QFontMetricsF metrics(l.text, painter.device());
    const double gap = l.width * 0.01;
    double x = 0;
    for (int c = 0; c < m_columns.size(); ++c) {
        const double w = m_columns.at(c).width * l.width;
        const QRectF cell(x, y, w - gap, l.line);
        painter.drawText(cell, m_columns.at(c).alignment | Qt::AlignVCenter,
                         metrics.elidedText(cells.value(c), Qt::ElideRight, cell.width()));
        x += w;
    }
}

void TablePages::paintDivider(QPainter &painter, const Layout &l, const QString &text, double y) const
{
    painter.setPen(QPen(Qt::black, l.line * 0.1));
    painter.drawLine(QPointF(0, y + l.line * 0.12), QPointF(l.width, y + l.line * 0.12));
    painter.setPen(QPen(Qt::black, 0));
    painter.drawText(QRectF(0, y + l.line * 0.2, l.width, l.line * 0.8), Qt::AlignHCenter | Qt::AlignBottom, text);
}

void TablePages::paintFoot(QPainter &painter, const Layout &l, int page) const
{
    const QRectF foot(0, l.height - l.line, l.width, l.line);
    if (!m_footAbove.isEmpty())
        painter.drawText(foot.translated(0, -l.line), Qt::AlignLeft | Qt::AlignVCenter, m_footAbove);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, m_footNote);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(l.pages));
}
