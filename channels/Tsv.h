#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Cells as spreadsheets put them on the clipboard: tab between cells, a line
// end after every row, and a cell that holds a tab, a line end or a quote in
// double quotes with its quotes doubled. Reading takes CRLF, LF or CR, with or
// without a line end after the last row.
namespace Tsv {

QString write(const QVector<QStringList> &rows);
QVector<QStringList> read(const QString &text);

} // namespace Tsv
