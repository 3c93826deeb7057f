#include "JetTable.h"

#include <QFile>
#include <QtEndian>
#include <cstring>
#include <memory>
#include <vector>

#include <glib.h>
#include <mdbtools.h>

namespace {

template <typename T>
T little(const char *raw)
{
    T value;
    std::memcpy(&value, raw, sizeof value);
    return qFromLittleEndian(value);
}

double floatBits(const char *raw)
{
    const quint32 bits = little<quint32>(raw);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    // The double that prints as the Single's own 7-digit text.
    return QString::number(f, 'g', 7).toDouble();
}

double doubleBits(const char *raw)
{
    const quint64 bits = little<quint64>(raw);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

struct HandleCloser { void operator()(MdbHandle *h) const { mdb_close(h); } };
struct TableFreer { void operator()(MdbTableDef *t) const { mdb_free_tabledef(t); } };

} // namespace

QVariant JetTable::value(int type, const char *raw, int length, const QString &text)
{
    auto fits = [length](int size) { return length >= size; };
    switch (type) {
    case MDB_BOOL:
        return text == QLatin1String("1") || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    case MDB_BYTE:
        return fits(1) ? QVariant(qlonglong(quint8(raw[0]))) : QVariant();
    case MDB_INT:
        return fits(2) ? QVariant(qlonglong(little<qint16>(raw))) : QVariant();
    case MDB_LONGINT:
        return fits(4) ? QVariant(qlonglong(little<qint32>(raw))) : QVariant();
    case MDB_MONEY:
        return fits(8) ? QVariant(double(little<qint64>(raw)) / 10000.0) : QVariant();
    case MDB_FLOAT:
        return fits(4) ? QVariant(floatBits(raw)) : QVariant();
    case MDB_DOUBLE:
        return fits(8) ? QVariant(doubleBits(raw)) : QVariant();
    case MDB_NUMERIC: {
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok ? QVariant(number) : QVariant(text);
    }
    default:
        return text;
    }
}

bool JetTable::read(const QString &path, const QString &tableName)
{
    m_error.clear();
    m_fields.clear();
    m_rows.clear();
    // Access 97 files carry no code page of their own; Chinese ones are GBK.
    if (qEnvironmentVariableIsEmpty("MDB_JET3_CHARSET"))
        qputenv("MDB_JET3_CHARSET", "CP936");

    std::unique_ptr<MdbHandle, HandleCloser> mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!mdb) {
        m_error = QStringLiteral("无法读取此 Access 文件");
        return false;
    }
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb.get());
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE)) {
        m_error = QStringLiteral("无法读取此 Access 文件的目录");
        return false;
    }
    QByteArray name = tableName.toUtf8();
    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table_by_name(mdb.get(), name.data(), MDB_TABLE));
    if (!table || !mdb_read_columns(table.get())) {
        m_error = QStringLiteral("缺少%1").arg(tableName);
        return false;
    }
    const int columns = int(table->num_cols);
    const size_t bindSize = mdb->bind_size;
    std::vector<std::vector<char>> buffers(size_t(columns), std::vector<char>(bindSize + 1));
    std::vector<int> lengths(static_cast<size_t>(columns), 0);
    for (int i = 0; i < columns; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        m_fields << QString::fromUtf8(column->name);
        mdb_bind_column(table.get(), i + 1, buffers[size_t(i)].data(), &lengths[size_t(i)]);
    }
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        QVariantList row;
        for (int i = 0; i < columns; ++i) {
            auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
            const bool isNull = column->col_type != MDB_BOOL && column->cur_value_len == 0;
            if (isNull) {
                row << QVariant();
                continue;
            }
            const char *raw = reinterpret_cast<const char *>(mdb->pg_buf) + column->cur_value_start;
            const QString text = QString::fromUtf8(buffers[size_t(i)].data(), qMax(0, lengths[size_t(i)]));
            row << value(column->col_type, raw, column->cur_value_len, text);
        }
        m_rows << row;
    }
    return true;
}
