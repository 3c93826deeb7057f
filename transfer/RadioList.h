#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The radios of a fleet as the operator keeps them: a text file of one label a
// line, or a CSV file (a spreadsheet's export) with the labels in one of its
// columns, whose first line then names the columns. UTF-8, UTF-16 with its
// byte-order mark, or GBK as Excel saves on Chinese Windows.
class RadioList
{
public:
    // Reads `path` at once; a name ending in .csv is read as CSV.
    explicit RadioList(const QString &path);

    bool isValid() const { return m_error.isEmpty(); }
    // Why the file gives no label, in the operator's words.
    QString error() const { return m_error; }
    // A CSV file's column names (its first line); empty for a list of lines
    // or a table of one column.
    QStringList columns() const { return m_columns; }
    // The column whose name says it holds the labels (电台, 编号, …), else 0.
    int likelyColumn() const;

    // The labels of `column` in the file's order: blank cells, a heading and
    // a label seen before are left out, as is one with a control character.
    QStringList labels(int column = 0) const;
    // "读入 20 台电台（GBK/GB18030 编码），略去 1 个重复": what labels(column) made of the file.
    QString account(int column = 0) const;

private:
    QStringList read(int column, int *repeated, int *refused) const;

    QVector<QStringList> m_rows;
    QStringList m_columns;
    QString m_encoding;
    QString m_error;
};
