#include "DesignFonts.h"

#include <QFont>
#include <QStringList>

namespace DesignFonts {

void installSubstitutes()
{
    const QStringList kai = { QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN"),
                              QStringLiteral("AR PL UKai TW"), QStringLiteral("Noto Serif CJK SC"),
                              QStringLiteral("Noto Sans CJK SC") };
    const QStringList song = { QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                               QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Serif CJK SC"),
                               QStringLiteral("Noto Sans CJK SC") };
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"), kai);
    QFont::insertSubstitutions(QStringLiteral("KaiTi_GB2312"), kai);
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
}

QFont font(const QString &family, double points)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setWeight(QFont::Normal);
    return f;
}

} // namespace DesignFonts
