#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// A frequency on the radio's steps of 100 Hz, or a difference of two: whole
// numbers, so that sums, series and comparisons are exact (438.5 MHz +
// 12.5 kHz is 4385000 + 125 steps, stored as 438.5125, never as
// 438.51250000000005). The frame, the checks, the band plans, the editing
// tools and the sheet all read, round and write frequencies through here, so
// none of them can round or print apart from the radio.
class Frequency
{
public:
    static constexpr qint64 unitsPerMHz = 10000;
    static constexpr qint64 hertzPerUnit = 100;

    constexpr Frequency() = default;   // 0: what a frame sends as 000000
    static constexpr Frequency fromUnits(qint64 units)
    {
        Frequency f;
        f.m_units = units;
        return f;
    }

    // How many steps `megahertz` lies above `from`, halves to even as the
    // radio's own tools round (145.00025 MHz is 1450002 steps). Counted from
    // above 0, as the frame counts its receive value from 21.4 MHz, the count
    // first passes through its 15-digit decimal text, as those tools wrote the
    // difference down: 1286250.0000000002 settles on 1286250. Not finite when
    // `megahertz` is no number or too large to count.
    static double steps(double megahertz, Frequency from);
    // `megahertz` to the nearest step, as above; none when it is no finite
    // number or beyond 10^12 MHz.
    static std::optional<Frequency> nearest(double megahertz);
    // What a cell holds, for the editing tools: a number to the nearest step
    // as the frame rounds it (a shift by nothing changes nothing sent),
    // a text that is a number as written ("430.125" exactly); none for an
    // empty cell and for a text that is a number only in part ("438,5").
    static std::optional<Frequency> ofCell(const QVariant &cell);
    // What an operator typed in MHz ("438.5125", "-0.0125", "−5") or, as a
    // step, in kHz ("12.5"); none when it is no number or finer than 100 Hz.
    enum class Unit { MHz, kHz };
    static std::optional<Frequency> parse(const QString &typed, Unit unit = Unit::MHz);

    qint64 units() const { return m_units; }
    bool isZero() const { return m_units == 0; }
    qint64 hertz() const { return m_units * hertzPerUnit; }
    // What it is stored as in a cell: a real whose text is the exact decimal.
    QVariant stored() const;
    // In MHz as the grid and the messages write it: "438.5125", "-0.0125", "430".
    QString text() const { return megahertz(hertz()); }
    // In MHz to the 100 Hz step, as the sheet and the comparison of loads
    // print it, lined up on the point: "438.5000", "-0.6000".
    QString fixedText() const;
    // A figure in Hz written as text() writes: the band plans' edges may lie
    // between steps (446.00625).
    static QString megahertz(qint64 hertz);

    Frequency operator+(Frequency other) const { return fromUnits(m_units + other.m_units); }
    Frequency operator-(Frequency other) const { return fromUnits(m_units - other.m_units); }
    bool operator==(Frequency other) const { return m_units == other.m_units; }
    bool operator!=(Frequency other) const { return m_units != other.m_units; }
    bool operator<(Frequency other) const { return m_units < other.m_units; }

private:
    qint64 m_units = 0;
};
