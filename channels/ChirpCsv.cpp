#include "ChirpCsv.h"

#include "ChannelFields.h"
#include "Csv.h"
#include "FieldValue.h"

#include <QHash>
#include <QLocale>
#include <cmath>
#include <optional>

// Beyond this distance a transmit frequency is written as "split", as CHIRP
// does for cross-band pairs.
static const double largestOffsetMHz = 70.0;

QStringList ChirpCsv::header()
{
    return { "Location", "Name", "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq",
             "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode", "TStep", "Skip", "Power",
             "Comment", "URCALL", "RPT1CALL", "RPT2CALL", "DVCODE" };
}

// CHIRP keeps frequencies to the hertz; rounding there keeps sums such as
// 438.5125 + 5 from turning into 443.51249999999999.
static double toHertz(double mhz) { return std::round(mhz * 1e6) / 1e6; }

static std::optional<double> number(const QVariant &value)
{
    if (FieldValue::isNull(value))
        return std::nullopt;
    bool ok = false;
    const double d = QLocale::c().toDouble(FieldValue::fieldText(value).trimmed(), &ok);
    return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

static QString mhz(double value) { return QString::number(value, 'f', 6); }

QByteArray ChirpCsv::write(const QVector<QVariantList> &rows, QStringList *skipped)
{
    QString text = Csv::line(header());
    for (int r = 0; r < rows.size(); ++r) {
        const QVariantList &row = rows.at(r);
        const auto channel = number(row.value(ChannelFields::Channel));
        const auto rx = number(row.value(ChannelFields::Receive));
        const auto tx = number(row.value(ChannelFields::Transmit));
        if (!channel || *channel < 1) {
            *skipped << QStringLiteral("第 %1 行：没有信道号").arg(r + 1);
            continue;
        }
        if (!rx || *rx <= 0) {
            *skipped << QStringLiteral("第 %1 行：没有接收频率").arg(r + 1);
            continue;
        }
        QString duplex;
        double offset = 0;
        if (!tx || *tx <= 0) {
            duplex = QStringLiteral("off");
        } else if (toHertz(*tx) != toHertz(*rx)) {
            const double difference = toHertz(*tx - *rx);
            if (std::abs(difference) > largestOffsetMHz) {
                duplex = QStringLiteral("split");
                offset = *tx;
            } else {
                duplex = difference > 0 ? QStringLiteral("+") : QStringLiteral("-");
                offset = std::abs(difference);
            }
        }
        const QString comment = FieldValue::fieldText(row.value(ChannelFields::Remark));
        // A whole number is written as it is: through a double, a long one would lose digits.
        const QVariant &channelValue = row.value(ChannelFields::Channel);
        const bool whole = channelValue.typeId() == QMetaType::LongLong || channelValue.typeId() == QMetaType::Int;
        const QString location = whole ? QString::number(channelValue.toLongLong()) : QString::number(qRound64(*channel));
        text += Csv::line({ location, QString(), mhz(*rx), duplex, mhz(offset),
                            QString(), "88.5", "88.5", "023", "NN", "023", "Tone->Tone", "FM", "5.00",
                            QString(), QString(), Csv::field(comment), QString(), QString(), QString(),
                            QString() });
    }
    return text.toUtf8();
}

// Where each of CHIRP's columns is, by its header; false when one we need is missing.
static bool readHeader(const QStringList &names, QHash<QString, int> *column, QString *error)
{
    for (int i = 0; i < names.size(); ++i)
        column->insert(names.at(i).trimmed(), i);
    for (const char *required : { "Location", "Frequency", "Duplex", "Offset" }) {
        if (!column->contains(QLatin1String(required))) {
            *error = QStringLiteral("第 1 行：不是 CHIRP 的表头（缺少 %1）").arg(QLatin1String(required));
            return false;
        }
    }
    return true;
}

// The transmit frequency CHIRP's duplex and offset describe; null for "off",
// and false for a duplex CHIRP does not write.
static bool transmitFrequency(const QString &duplex, double rx, double offset, QVariant *tx)
{
    if (duplex.isEmpty())
        *tx = rx;
    else if (duplex == u"+")
        *tx = toHertz(rx + offset);
    else if (duplex == u"-")
        *tx = toHertz(rx - offset);
    else if (duplex == u"split")
        *tx = offset;
    else if (duplex != u"off")
        return false;
    // A split of 0 or an offset below zero is no transmit frequency at all,
    // just as the writer puts "off" for one.
    if (tx->isValid() && tx->toDouble() <= 0)
        *tx = QVariant();
    return true;
}

static bool readRecord(const Csv::Record &record, const QHash<QString, int> &column, int width,
                       ImportedRows *result, QString *error)
{
    auto cell = [&](const char *name) { return record.fields.value(column.value(QLatin1String(name), -1)).trimmed(); };
    auto bad = [&](const char *name, const QString &what) {
        *error = QStringLiteral("第 %1 行第 %2 列（%3）：%4")
                         .arg(record.line).arg(column.value(QLatin1String(name)) + 1)
                         .arg(QLatin1String(name), what);
        return false;
    };
    auto decimal = [&](const char *name, double *value) {
        const QString text = cell(name);
        bool ok = text.isEmpty();
        *value = ok ? 0 : QLocale::c().toDouble(text, &ok);
        return ok && std::isfinite(*value);
    };
    if (record.fields.size() < width)
        return bad("Location", QStringLiteral("字段不足，应有 %1 个").arg(width));
    bool ok = false;
    const qlonglong location = cell("Location").toLongLong(&ok);
    if (!ok)
        return bad("Location", QStringLiteral("数值无法识别: %1").arg(cell("Location")));
    double rx = 0;
    double offset = 0;
    if (!decimal("Frequency", &rx))
        return bad("Frequency", QStringLiteral("数值无法识别: %1").arg(cell("Frequency")));
    if (!decimal("Offset", &offset))
        return bad("Offset", QStringLiteral("数值无法识别: %1").arg(cell("Offset")));
    // CHIRP's frequencies are whole hertz; a finer one would not survive a round trip.
    rx = toHertz(rx);
    offset = toHertz(offset);
    QVariant tx;
    if (!transmitFrequency(cell("Duplex").toLower(), rx, offset, &tx))
        return bad("Duplex", QStringLiteral("无法识别: %1").arg(cell("Duplex")));
    if (rx <= 0) {
        result->skipped << QStringLiteral("第 %1 行：没有频率").arg(record.line);
        return true;
    }
    QStringList remark;
    for (const char *name : { "Name", "Comment" })
        if (!cell(name).isEmpty())
            remark << record.fields.value(column.value(QLatin1String(name)));
    result->rows << QVariantList{ qlonglong(result->rows.size() + 1), location, rx, tx,
                                  remark.isEmpty() ? QVariant() : QVariant(remark.join(u' ')) };
    return true;
}

bool ChirpCsv::read(const QByteArray &bytes, ImportedRows *out, QString *error)
{
    QVector<Csv::Record> records;
    if (!Csv::parse(bytes, &records, error))
        return false;
    if (records.isEmpty()) {
        *error = QStringLiteral("第 1 行：文件是空的");
        return false;
    }
    QHash<QString, int> column;
    if (!readHeader(records.first().fields, &column, error))
        return false;
    ImportedRows result;
    for (int r = 1; r < records.size(); ++r)
        if (!readRecord(records.at(r), column, int(records.first().fields.size()), &result, error))
            return false;
    *out = result;
    return true;
}
