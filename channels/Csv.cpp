#include "Csv.h"

#include <QStringDecoder>

#include <optional>

static int lineOf(const QString &text, qsizetype position)
{
    return int(text.left(qMax<qsizetype>(0, position)).count(u'\n')) + 1;
}

QString Csv::decode(const QByteArray &bytes, QString *encoding, QString *error)
{
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        QStringDecoder decoder(*marked);
        *encoding = QString::fromLatin1(QStringConverter::nameForEncoding(*marked));
        return QString(decoder(bytes)).remove(QChar(0xFEFF));
    }
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        *error = QStringLiteral("第 %1 行：不是文本文件").arg(bytes.left(nul).count('\n') + 1);
        return QString();
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) {
        *encoding = marked ? QStringLiteral("UTF-8（带 BOM）") : QStringLiteral("UTF-8");
        return QString(text).remove(0, text.startsWith(QChar(0xFEFF)) ? 1 : 0);
    }
    QStringDecoder gb("GB18030", QStringDecoder::Flag::Stateless);
    const QString chinese = gb.isValid() ? QString(gb(bytes)) : QString();
    if (gb.isValid() && !gb.hasError()) {
        *encoding = QStringLiteral("GBK/GB18030");
        return chinese;
    }
    *error = QStringLiteral("第 %1 行：不是 UTF-8 或 GBK 文本").arg(lineOf(text, text.indexOf(QChar::ReplacementCharacter)));
    return QString();
}

// A quoted field from its opening quote at `*at`: doubled quotes are one,
// line ends belong to the field; it must end before a comma or a line end.
static bool readQuoted(const QString &text, int *at, int *line, int column, QString *value, QString *error)
{
    const int n = text.size();
    const int openedLine = *line;
    int i = *at + 1;
    for (;;) {
        if (i >= n) {
            *error = QStringLiteral("第 %1 行第 %2 列：引号没有结束").arg(openedLine).arg(column);
            return false;
        }
        const QChar c = text.at(i++);
        if (c == u'"') {
            if (i < n && text.at(i) == u'"') {
                *value += u'"';
                ++i;
                continue;
            }
            break;
        }
        if (c == u'\n')
            ++*line;
        *value += c;
    }
    *at = i;
    if (i < n && text.at(i) != u',' && text.at(i) != u'\r' && text.at(i) != u'\n') {
        *error = QStringLiteral("第 %1 行第 %2 列：引号后面应是逗号或行尾").arg(*line).arg(column);
        return false;
    }
    return true;
}

bool Csv::parse(const QByteArray &bytes, QVector<Record> *records, QString *error)
{
    records->clear();
    QString encoding;
    const QString text = decode(bytes, &encoding, error);
    if (text.isNull())
        return false;

    int line = 1;
    int i = 0;
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
                if (!readQuoted(text, &i, &line, int(record.fields.size()) + 1, &value, error))
                    return false;
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
