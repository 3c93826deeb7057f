#include "RadioList.h"

#include "Csv.h"
#include "RadioLabel.h"
#include "SystemCause.h"

#include <QFile>
#include <QFileInfo>

// Words a list's first line uses to name its column of labels, not labels.
static bool isHeading(const QString &cell)
{
    static const QStringList headings = { "电台", "电台编号", "编号", "标签", "名称", "呼号", "label", "radio", "name", "id" };
    return headings.contains(cell.trimmed(), Qt::CaseInsensitive);
}

RadioList::RadioList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("电台清单 %1 不能读取：%2").arg(path, SystemCause::inChinese(file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    QString why;
    const QString text = Csv::decode(bytes, &m_encoding, &why);
    QVector<Csv::Record> records;
    if (text.isNull() || (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) && !Csv::parse(bytes, &records, &why))) {
        m_error = QStringLiteral("电台清单 %1 不能读取：%2").arg(QFileInfo(path).fileName(), why);
        return;
    }
    if (records.isEmpty()) {
        for (const QString &line : text.split(u'\n'))
            m_rows << QStringList{ line.endsWith(u'\r') ? line.chopped(1) : line };
    }
    for (const Csv::Record &record : records)
        m_rows << record.fields;
    if (!m_rows.isEmpty() && m_rows.first().size() > 1)
        m_columns = m_rows.takeFirst();
    if (labels(likelyColumn()).isEmpty())
        m_error = QStringLiteral("电台清单 %1 中找不到电台。").arg(QFileInfo(path).fileName());
}

int RadioList::likelyColumn() const
{
    for (int column = 0; column < m_columns.size(); ++column)
        if (isHeading(m_columns.at(column)))
            return column;
    return 0;
}

QStringList RadioList::read(int column, int *repeated, int *refused) const
{
    QStringList labels;
    for (int row = 0; row < m_rows.size(); ++row) {
        const QString label = m_rows.at(row).value(column).trimmed();
        if (label.isEmpty() || (row == 0 && m_columns.isEmpty() && isHeading(label)))
            continue;
        if (!RadioLabel::refusal(label).isEmpty())
            ++*refused;
        else if (labels.contains(label))
            ++*repeated;
        else
            labels << label;
    }
    return labels;
}

QStringList RadioList::labels(int column) const
{
    int repeated = 0, refused = 0;
    return read(column, &repeated, &refused);
}

QString RadioList::account(int column) const
{
    int repeated = 0, refused = 0;
    QString text = QStringLiteral("读入 %1 台电台（%2 编码）").arg(read(column, &repeated, &refused).size()).arg(m_encoding);
    if (repeated)
        text += QStringLiteral("，略去 %1 个重复").arg(repeated);
    if (refused)
        text += QStringLiteral("，略去 %1 个带控制字符的电台").arg(refused);
    return text + u'。';
}
