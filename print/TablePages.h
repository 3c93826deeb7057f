#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

class QPagedPaintDevice;
class QPainter;

// A printed document as a table over pages, in the sheet's style. Every page
// has the title; under it what the document covers (left) and the day it was
// printed (right); the column heads over a rule, so that a page read alone
// still says what its columns are; as many rows as the page holds; and the
// foot: a note (left) and "第 1 页，共 3 页" (right).
//
// The documents give the columns and the rows; what the rows mean is theirs.
class TablePages
{
public:
    struct Column
    {
        const char16_t *caption;
        double width;              // a part of the page width
        Qt::Alignment alignment;   // Qt::AlignLeft or Qt::AlignRight
    };

    TablePages(const QString &title, const QString &subtitle, const QDate &date, const QVector<Column> &columns);

    // Cells in the columns' order, each cut short with … where it would run
    // into the next. `ruleAbove`: a thin rule over the row where a group of
    // rows begins, left out at the top of a page.
    void addRow(const QStringList &cells, bool ruleAbove = false) { m_rows.append({ cells, QString(), ruleAbove }); }
    // A heavy rule across the page with `text` centred under it, in a row of its own.
    void addDivider(const QString &text) { m_rows.append({ QStringList(), text, false }); }
    // The first `rows` rows, dividers counted, share the first page, drawn
    // closer together if they must.
    void keepTogether(int rows) { m_keptTogether = rows; }
    // The note at the foot of every page; `above`, when given, on a line of its own over it.
    void setFoot(const QString &note, const QString &above = QString())
    {
        m_footNote = note;
        m_footAbove = above;
    }

    // Sets A4 and the margins, then draws every page; false when the device
    // cannot be painted on.
    bool print(QPagedPaintDevice *device) const;
    // The table as a PDF file titled `documentTitle`, its fonts embedded; false with `error`.
    bool writePdf(const QString &path, const QString &documentTitle, QString *error) const;
    // The pages the table takes on `device`, which is set to A4 as print() sets it.
    int pageCount(QPagedPaintDevice *device) const;

private:
    struct Row
    {
        QStringList cells;
        QString divider;   // not empty: the row is a divider with this text
        bool ruleAbove = false;
    };
    struct Layout;
    Layout layout(QPagedPaintDevice *device) const;
    void paintPage(QPainter &painter, const Layout &l, int page) const;
    void paintCells(QPainter &painter, const Layout &l, const QStringList &cells, double y) const;
    void paintDivider(QPainter &painter, const Layout &l, const QString &text, double y) const;
    void paintFoot(QPainter &painter, const Layout &l, int page) const;

    QString m_title;
    QString m_subtitle;
    QDate m_date;
    QVector<Column> m_columns;
    QVector<Row> m_rows;
    int m_keptTogether = 0;
    QString m_footNote;
    QString m_footAbove;
};
