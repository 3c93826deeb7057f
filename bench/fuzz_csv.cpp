// libFuzzer target: the CSV readers must never crash or hang on any bytes, and
// must keep their promise: either every row with five fields and no message, or
// a message and nothing read. What our own reader accepts must come back the same
// through our writer; CHIRP's rows must come back the same through CHIRP's.
//
// Built twice: as fuzz_channel_csv (our format) and fuzz_chirp_csv (CHIRP's).

#include "ChannelCsv.h"
#include "ChirpCsv.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#if defined(FUZZ_CHIRP)
static bool readCsv(const QByteArray &bytes, ImportedRows *out, QString *error)
{
    return ChirpCsv::read(bytes, out, error);
}
static QByteArray writeCsv(const QVector<QVariantList> &rows)
{
    QStringList skipped;
    return ChirpCsv::write(rows, &skipped);
}
#else
static bool readCsv(const QByteArray &bytes, ImportedRows *out, QString *error)
{
    return ChannelCsv::read(bytes, out, error);
}
static QByteArray writeCsv(const QVector<QVariantList> &rows)
{
    return ChannelCsv::write(rows);
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    ImportedRows rows;
    QString error;
    const bool ok = readCsv(input, &rows, &error);
    if (!ok) {
        if (error.isEmpty() || !rows.rows.isEmpty())
            std::abort();
        return 0;
    }
    for (const QVariantList &row : std::as_const(rows.rows))
        if (row.size() != 5)
            std::abort();
    ImportedRows again;
    if (!readCsv(writeCsv(rows.rows), &again, &error))
        std::abort();
#if defined(FUZZ_CHIRP)
    // CHIRP's file has no room for a record number or a separate remark, keeps
    // frequencies to the hertz, and the writer leaves out channels below 1: the
    // channel number and frequencies of the rows it keeps must survive.
    auto hertz = [](const QVariant &v) { return v.isValid() ? std::llround(v.toDouble() * 1e6) : -1LL; };
    // The hertz is kept through sums and differences only while a double's
    // step is far below it: up to 10^6 MHz, a thousand times past any radio.
    // Beyond that a frequency keeps only the double's own precision.
    auto wholeHertz = [](const QVariant &v) { return !v.isValid() || std::abs(v.toDouble()) < 1e6; };
    int kept = 0;
    for (const QVariantList &row : std::as_const(rows.rows)) {
        if (row[1].toLongLong() < 1)
            continue;
        if (kept >= again.rows.size())
            std::abort();
        const QVariantList &back = again.rows[kept++];
        if (!wholeHertz(row[2]) || !wholeHertz(row[3]))
            continue;
        // Half a hertz can round either way between the sum and the printed text.
        if (back[1] != row[1] || std::abs(hertz(back[2]) - hertz(row[2])) > 1
            || std::abs(hertz(back[3]) - hertz(row[3])) > 1 || back[3].isValid() != row[3].isValid())
            std::abort();
    }
    if (kept != again.rows.size())
        std::abort();
#else
    if (again.rows != rows.rows)
        std::abort();
#endif
    return 0;
}
