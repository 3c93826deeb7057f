#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// One table of an Access (Jet) file, read whole through mdbtools. Read-only:
// mdbtools cannot write, and an operator's original file is never touched.
//
// Values keep their kind and read as the original platform printed them, which
// the channel frames depend on: Double with up to 15 significant digits, Single
// with 7 (mdbtools' own text keeps only 6: 145.0125 would become 145.013),
// Currency with its four decimals. Nulls stay invalid QVariants.
class JetTable
{
public:
    bool read(const QString &path, const QString &tableName);
    QString errorString() const { return m_error; }
    QStringList fieldNames() const { return m_fields; }
    QVector<QVariantList> rows() const { return m_rows; }

    // A stored value from its raw little-endian bytes (numbers) or mdbtools'
    // text (everything else); `type` is mdbtools' column type.
    static QVariant value(int type, const char *raw, int length, const QString &text);

private:
    QString m_error;
    QStringList m_fields;
    QVector<QVariantList> m_rows;
};
