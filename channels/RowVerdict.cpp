#include "RowVerdict.h"

#include <QStringList>

static QString joined(const QVector<RowFinding> &findings, int field, bool errors)
{
    QStringList texts;
    for (const RowFinding &finding : findings)
        if (finding.field == field && finding.isError() == errors)
            texts << finding.text;
    return texts.join(QStringLiteral("；"));
}

QString RowVerdict::problems(int field) const
{
    return joined(findings, field, true);
}

QString RowVerdict::warnings(int field) const
{
    return joined(findings, field, false);
}
