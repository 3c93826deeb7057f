#pragma once

#include "TransferJournal.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// 传送记录…: one row per load, newest first, in local time, 结果 beside the
// radio; the checksum and the file short, whole in their tooltips and in what
// Ctrl+C and 复制 copy (the selected rows, tab-separated, for a mail or a
// spreadsheet, where the checksum is compared digit by digit with a printed
// sheet). What the command line does with the journal is a button here: two
// loads compared (--diff journal:N journal:M), a load against the plan open in
// the window, and the fleet report on paper (--journal --pdf). Journals copied
// from the other PCs a fleet is loaded at join the table (--journal --from),
// each checked on its own, each load naming its PC.
class JournalDialog : public QDialog
{
    Q_OBJECT
public:
    // `entries` as TransferJournal::entries() gives them: row N is journal:N+1.
    // `openPlan`: the channel file open in the window, empty for none.
    explicit JournalDialog(const QVector<TransferJournal::Entry> &entries, const QString &openPlan = {},
                           QWidget *parent = nullptr);
    // The journal over `parent`, or a word that there is none yet.
    static void showJournal(QWidget *parent, const QString &openPlan = {});
    void setChainHead(const QString &head);

private:
    void fillTable();
    void fitWidth();
    QList<int> pickedRows() const;
    void copyRows();
    void updateButtons();
    void compareTwo();
    void compareWithPlan();
    void printReport();
    void openOthers();

    QVector<TransferJournal::Entry> m_entries;
    QString m_openPlan;
    QTableWidget *m_table;
    QPushButton *m_compareTwo;
    QPushButton *m_compareWithPlan;
    QPushButton *m_copy;
    QLabel *m_head;
    QString m_chainHead;
    QStringList m_others;   // journals of other PCs read beside this one's
};
