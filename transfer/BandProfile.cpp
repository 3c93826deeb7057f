#include "BandProfile.h"

#include <QRegularExpression>
#include <cstdlib>

static QString megahertz(qint64 hz)
{
    static const QRegularExpression trailingZeros(QStringLiteral("\\.?0+$"));
    return QString::number(double(hz) / 1e6, 'f', 6).remove(trailingZeros);
}

static bool within(qint64 hz, qint64 low, qint64 high)
{
    return hz >= low - BandProfile::carriedSlackHz && hz <= high + BandProfile::carriedSlackHz;
}

bool BandProfile::onRaster(qint64 hz, qint64 stepHz, qint64 offsetHz)
{
    const qint64 off = ((hz - offsetHz) % stepHz + stepHz) % stepHz;
    return std::min(off, stepHz - off) <= carriedSlackHz;
}

const BandProfile::Band *BandProfile::bandOf(qint64 hz) const
{
    for (const Band &band : bands)
        if (within(hz, band.lowHz, band.highHz))
            return &band;
    return nullptr;
}

QVector<BandProfile::Warning> BandProfile::frequencyWarnings(qint64 hz) const
{
    if (isNone())
        return {};
    if (!bandOf(hz)) {
        QStringList ranges;
        for (const Band &band : bands)
            ranges << megahertz(band.lowHz) + u'–' + megahertz(band.highHz);
        return { { Warning::Outside,
                   QStringLiteral("不在“%1”的频段内（%2 MHz）").arg(name, ranges.join(QStringLiteral("、"))) } };
    }
    QVector<Warning> warnings;
    for (const Excluded &range : excluded)
        if (within(hz, range.lowHz, range.highHz))
            warnings.append({ Warning::SetApart, QStringLiteral("在 %1–%2 MHz 内，%3")
                                                         .arg(megahertz(range.lowHz), megahertz(range.highHz), range.why) });
    if (rasterHz > 0 && !onRaster(hz, rasterHz, rasterOffsetHz))
        warnings.append({ Warning::OffRaster, QStringLiteral("不在“%1”的 %2 kHz 信道上")
                                                      .arg(name, QString::number(double(rasterHz) / 1e3)) });
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
    if (std::llabs(split - band->duplexHz) > 2 * carriedSlackHz)
        return QStringLiteral("与接收频率相差 %1 MHz：“%2”的双频间隔是 %3 MHz")
                .arg(megahertz(split), name, megahertz(band->duplexHz));
    return {};
}
