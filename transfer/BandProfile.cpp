#include "BandProfile.h"

#include <cstdlib>

static bool within(qint64 hz, qint64 low, qint64 high)
{
    return hz >= low - BandProfile::carriedSlackHz && hz <= high + BandProfile::carriedSlackHz;
}

bool BandProfile::onRaster(Frequency carried, qint64 stepHz, qint64 offsetHz)
{
    const qint64 off = ((carried.hertz() - offsetHz) % stepHz + stepHz) % stepHz;
    return std::min(off, stepHz - off) <= carriedSlackHz;
}

const BandProfile::Band *BandProfile::bandOf(qint64 hz) const
{
    for (const Band &band : bands)
        if (within(hz, band.lowHz, band.highHz))
            return &band;
    return nullptr;
}

QVector<BandProfile::Warning> BandProfile::frequencyWarnings(Frequency carried) const
{
    const qint64 hz = carried.hertz();
    if (isNone())
        return {};
    if (!bandOf(hz)) {
        QStringList ranges;
        for (const Band &band : bands)
            ranges << Frequency::megahertz(band.lowHz) + u'–' + Frequency::megahertz(band.highHz);
        return { { Warning::Outside,
                   QStringLiteral("不在“%1”的频段内（%2 MHz）").arg(name, ranges.join(QStringLiteral("、"))) } };
    }
    QVector<Warning> warnings;
    for (const Excluded &range : excluded)
        if (within(hz, range.lowHz, range.highHz))
            warnings.append({ Warning::SetApart,
                              QStringLiteral("在 %1–%2 MHz 内，%3")
                                      .arg(Frequency::megahertz(range.lowHz), Frequency::megahertz(range.highHz),
                                           range.why) });
    if (rasterHz > 0 && !onRaster(carried, rasterHz, rasterOffsetHz))
        warnings.append({ Warning::OffRaster, QStringLiteral("不在“%1”的 %2 kHz 信道上")
                                                      .arg(name, QString::number(double(rasterHz) / 1e3)) });
    return warnings;
}

QString BandProfile::splitWarning(Frequency receive, Frequency transmit) const
{
    const qint64 receiveHz = receive.hertz(), transmitHz = transmit.hertz();
    const Band *band = bandOf(receiveHz);
    if (isNone() || anySplit || receiveHz == transmitHz || !band || band != bandOf(transmitHz))
        return {};
    const qint64 split = std::llabs(transmitHz - receiveHz);
    if (band->duplexHz == 0)
        return QStringLiteral("与接收频率不同：“%1”只用同频单工").arg(name);
    if (std::llabs(split - band->duplexHz) > 2 * carriedSlackHz)
        return QStringLiteral("与接收频率相差 %1 MHz：“%2”的双频间隔是 %3 MHz")
                .arg(Frequency::megahertz(split), name, Frequency::megahertz(band->duplexHz));
    return {};
}
