#pragma once

#include "FileRows.h"

#include <QString>
#include <QVector>

// The optimistic check of a command, run inside its transaction so that nobody
// can write between the look and the write: each cell a change replaces must
// still hold what the loaded rows showed, and each row it moves or removes must
// be in the file whole, as shown. The changes say what they expect; run()
// reads the file once and describes the first difference, counting the rest.
class ChangeCheck
{
public:
    ChangeCheck(FileRows &file, const QString &fileName);

    // A cell that must hold `shown`; `mine` is what the change puts there.
    void cell(int row, int column, const QVariant &shown, const QVariant &mine);
    // Room for `count` more: a fill expects 10 000 cells.
    void reserve(qsizetype count) { m_expected.reserve(m_expected.size() + count); }
    // A row that must be in the file as loaded.
    void wholeRow(int row);

    // False when the file could not be read. Else `conflict` is empty when the
    // file holds what the rows showed, or says how it differs.
    bool run(QString *conflict);

private:
    struct Expected
    {
        int row;
        int column;   // -1: the whole row
        QVariant shown;
        QVariant mine;
    };

    bool readAhead();
    bool fileRow(int row, ChannelRow *file, bool *found);
    QString describe(int row, int column, const QVariant &file, const QVariant &mine) const;

    FileRows &m_file;
    QString m_fileName;
    QVector<Expected> m_expected;
    int m_top;
    int m_bottom = -1;
    QVector<ChannelRow> m_ahead;   // rows read ahead in key order, when m_readAhead
    bool m_readAhead = false;
};
