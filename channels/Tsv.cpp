#include "Tsv.h"

namespace Tsv {

static QString cell(const QString &text)
{
    static const QString special = QStringLiteral("\t\r\n\"");
    for (QChar c : text) {
        if (special.contains(c))
            return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    return text;
}

QString write(const QVector<QStringList> &rows)
{
    QString out;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &text : row)
            cells << cell(text);
        out += cells.join(u'\t') + QStringLiteral("\r\n");
    }
    return out;
}

QVector<QStringList> read(const QString &text)
{
    QVector<QStringList> rows;
    QStringList row;
    QString field;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        // A quote opens a quoted cell only at the cell's start, as spreadsheets do.
        if (field.isEmpty() && text.at(i) == u'"') {
            int j = i + 1;
            QString quoted;
            while (j < n && !(text.at(j) == u'"' && (j + 1 >= n || text.at(j + 1) != u'"'))) {
                quoted += text.at(j);
                j += text.at(j) == u'"' ? 2 : 1;
            }
            if (j < n) {   // closed: the cell is what the quotes held
                field = quoted;
                i = j + 1;
                continue;
            }
        }
        const QChar c = text.at(i++);
        if (c == u'\t') {
            row << field;
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i < n && text.at(i) == u'\n')
                ++i;
            rows << (row << field);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

} // namespace Tsv
