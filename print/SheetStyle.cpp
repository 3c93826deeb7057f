#include "SheetStyle.h"

#include "SystemCause.h"

#include <QFile>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace SheetStyle {

QFont font(double points)
{
    // The arphic faces ship with Debian and embed as TrueType, so the PDF
    // carries its own Chinese and pdftotext reads it back.
    QFont font;
    font.setFamilies({ QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UKai CN"),
                       QStringLiteral("Noto Sans CJK SC") });
    font.setPointSizeF(points);
    return font;
}

void setUpPage(QPagedPaintDevice *device)
{
    device->setPageSize(QPageSize(QPageSize::A4));
    device->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

bool printPages(QPagedPaintDevice *device, int pages, const std::function<void(QPainter &, int)> &paintPage)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        paintPage(painter, page);
    }
    return painter.end();
}

bool writePdf(const QString &path, const QString &title, const std::function<bool(QPagedPaintDevice *)> &print,
              QString *error)
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
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("qt7020"));
    if (print(&writer))
        return true;
    *error = QStringLiteral("不能写入 %1").arg(path);
    return false;
}

} // namespace SheetStyle
