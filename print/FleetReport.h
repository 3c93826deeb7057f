#pragma once

#include "TablePages.h"
#include "TransferJournal.h"

#include <QDate>
#include <QVector>

class QPagedPaintDevice;

// The journal on paper, for the fleet's service folder: which radio got which
// plan, when, from which file, with which checksum, how many warnings the
// operator let go, and how the load ended.
// Loads are grouped by radio (in label order, unlabelled ones last), newest
// first within each; the title line counts radios (distinct labels, not
// loads) and loads and says from
// which day on they are listed. Looks like the channel sheet: same page,
// fonts and columns, so that the checksum on a sheet is found here by eye.
class FleetReport
{
public:
    // `since` invalid: every load in `entries`, which the report does not filter.
    FleetReport(const QVector<TransferJournal::Entry> &entries, const QDate &since, const QDate &printed);

    bool print(QPagedPaintDevice *device) const { return pages().print(device); }
    bool writePdf(const QString &path, QString *error) const;

    // The journal's chain head, printed so that the file can be checked against the paper later;
    // for several journals, each one's first 16 digits with its PC (JournalSet::heads()).
    void setChainHead(const QString &head) { m_head = head; }

    int radioCount() const;
    int loadCount() const { return int(m_entries.size()); }

private:
    TablePages pages() const;
    QStringList cellsOf(int index) const;
    void setFoot(TablePages &pages) const;

    QVector<TransferJournal::Entry> m_entries;
    QDate m_since;
    QDate m_printed;
    QString m_head;
};
