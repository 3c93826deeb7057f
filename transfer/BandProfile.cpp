#include "BandProfile.h"

#include <QRegularExpression>
#include <cstdlib>

static QString megahertz(qint64 hz)
{
    return QString::number(double(hz) / 1e6, 'f', 6).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

const BandProfile::Band *BandProfile::bandOf(qint64 hz) const
{
    for (const Band &band : bands)
        if (hz >= band.lowHz && hz <= band.highHz)
            return &band;
    return nullptr;
}

QStringList BandProfile::frequencyWarnings(qint64 hz) const
{
    if (isNone())
        return {};
    QStringList ranges;
    for (const Band &band : bands)
        ranges << megahertz(band.lowHz) + u'–' + megahertz(band.highHz);
    if (!bandOf(hz))
        return { QStringLiteral("不在“%1”的频段内（%2 MHz）").arg(name, ranges.join(QStringLiteral("、"))) };
    QStringList warnings;
    for (const Excluded &range : excluded)
        if (hz >= range.lowHz && hz <= range.highHz)
            warnings << QStringLiteral("在 %1–%2 MHz 内，%3")
                                .arg(megahertz(range.lowHz), megahertz(range.highHz), range.why);
    if (rasterHz > 0 && (hz - rasterOffsetHz) % rasterHz != 0)
        warnings << QStringLiteral("不在“%1”的 %2 kHz 信道上").arg(name, QString::number(double(rasterHz) / 1e3));
    return warnings;
}

QString BandProfile::splitWarning(qint64 receiveHz, qint64 transmitHz) const
{
    const Band *band = bandOf(receiveHz);
    if (isNone() || anySplit || receiveHz == transmitHz || !band || band != bandOf(transmitHz))
        return {};
    const qint64 split = std::llabs(transmitHz - receiveHz);
    if (band->duplexHz == 0)
        return QStringLiteral("与接收频率不同：“%1”只用同频单工").arg(name);
    if (split != band->duplexHz)
        return QStringLiteral("与接收频率相差 %1 MHz：“%2”的双频间隔是 %3 MHz")
                .arg(megahertz(split), name, megahertz(band->duplexHz));
    return {};
}
