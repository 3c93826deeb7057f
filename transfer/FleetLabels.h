#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The labels of a 连续传送 run, and which radio comes next. An imported list
// gives them in its order. A label entered while a load runs (a scanner does
// not wait) is queued, never dropped: the queue is offered in the order it was
// entered, one label each time the load on the cable has ended. Without a
// list or a queue, the last new label is counted up (巡逻09 → 巡逻10), else
// 电台 N is offered.
class FleetLabels
{
public:
    // The operator's list, in its order; it replaces an earlier one.
    void setList(const QStringList &labels) { m_list = labels; }
    const QStringList &list() const { return m_list; }
    // How many labels of the list have been loaded whole in this run.
    int doneOfList() const;
    bool isDone(const QString &label) const { return m_done.contains(label); }
    bool wasLoaded(const QString &label) const { return m_loaded.contains(label); }
    // Its last load failed or was broken off.
    bool hasFailed(const QString &label) const { return wasLoaded(label) && !isDone(label) && label != m_loading; }
    QString loading() const { return m_loading; }

    void enqueue(const QString &label);
    const QStringList &queued() const { return m_queue; }
    // The load of `label` starts: it leaves the queue and counts as loaded.
    void started(const QString &label);
    void concluded(const QString &label, bool done);
    // A load the operator broke off: its radio is still on the cable, so its
    // label comes first again.
    void putBack(const QString &label);

    // What the label field offers: the first label queued, else fresh().
    QString next() const;
    // The label after the queue: the first of the list neither loaded nor
    // queued (none once the list is done), else the last new label counted
    // up, else 电台 N.
    QString fresh() const;

private:
    QStringList m_list;
    QStringList m_queue;
    QStringList m_loaded;   // each label once, in the order first loaded
    QSet<QString> m_done;
    QString m_loading;      // the label whose load has no verdict yet
};
