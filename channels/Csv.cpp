#include "Csv.h"

#include <QStringDecoder>

bool Csv::parse(const QByteArray &bytes, QVector<Record> *records, QString *error)
{
    records->clear();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0) {
        *error = QStringLiteral("第 %1 行：不是文本文件").arg(bytes.left(nul).count('\n') + 1);
        return false;
    }
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError()) {
        const int bad = text.indexOf(QChar::ReplacementCharacter);
        *error = QStringLiteral("第 %1 行：不是 UTF-8 文本").arg(text.left(qMax(0, bad)).count(u'\n') + 1);
        return false;
    }

    int line = 1;
    int i = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    const int n = text.size();
    while (i < n) {
        Record record;
        record.line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            QString value;
            bool quoted = false;
            if (i < n && text.at(i) == u'"') {
                quoted = true;
                const int openedLine = line;
                const int openedColumn = record.fields.size() + 1;
                ++i;
                for (;;) {
                    if (i >= n) {
                        *error = QStringLiteral("第 %1 行第 %2 列：引号没有结束").arg(openedLine).arg(openedColumn);
                        return false;
                    }
                    const QChar c = text.at(i++);
                    if (c == u'"') {
                        if (i < n && text.at(i) == u'"') {
                            value += u'"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == u'\n')
                        ++line;
                    value += c;
                }
                if (i < n && text.at(i) != u',' && text.at(i) != u'\r' && text.at(i) != u'\n') {
                    *error = QStringLiteral("第 %1 行第 %2 列：引号后面应是逗号或行尾").arg(line).arg(openedColumn);
                    return false;
                }
            } else {
                while (i < n && text.at(i) != u',' && text.at(i) != u'\r' && text.at(i) != u'\n')
                    value += text.at(i++);
            }
            record.fields << value;
            record.quoted << quoted;
            if (i < n && text.at(i) == u',') {
                ++i;
                continue;
            }
            if (i < n && text.at(i) == u'\r')
                ++i;
            if (i < n && text.at(i) == u'\n')
                ++i;
            ++line;
            endOfRecord = true;
        }
        const bool blank = record.fields.size() == 1 && record.fields.first().isEmpty() && !record.quoted.first();
        if (!blank)
            records->append(record);
    }
    return true;
}

QString Csv::field(const QString &text, bool quote)
{
    if (!quote && !text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString escaped = text;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString Csv::line(const QStringList &fields)
{
    return fields.join(u',') + QStringLiteral("\r\n");
}
