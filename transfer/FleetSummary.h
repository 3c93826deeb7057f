#pragma once

#include <QStringList>
#include <QVector>

class FleetRun;

// What a 连续传送 run came to, radio by radio (a radio is its label): whose
// last load was whole (完成), whose last load was not (失败: a failed or broken
// load leaves the radio without the whole plan), which labels of the imported
// list were never loaded (未传送), and which radios were loaded more than once
// (重传). A load with a later load of the same radio is retried (已重传): its
// failure is no longer the radio's state.
class FleetSummary
{
public:
    enum class Kind { Done, Failed, NotLoaded, Retried };
    static constexpr Kind kinds[] = { Kind::Done, Kind::Failed, Kind::NotLoaded, Kind::Retried };

    explicit FleetSummary(const FleetRun &run);

    // Radios, not loads: a radio loaded three times is one.
    int count(Kind kind) const;
    // The loads (indexes into the run's radios) a count stands for: each
    // radio's last load for 完成 and 失败, every load of a radio for 重传.
    QVector<int> loadsOf(Kind kind) const;
    QStringList notLoaded() const { return m_notLoaded; }
    // A run without a list has no labels it failed to reach.
    bool hasList() const { return m_hasList; }
    bool isRetried(int radio) const { return m_retried.contains(radio); }

    static QString name(Kind kind);   // 完成, 失败, 未传送, 重传
    // "完成 12，失败 1，未传送 7，重传 1", without 未传送 when there is no list.
    QString text() const;

private:
    QVector<int> m_done;
    QVector<int> m_failed;
    QVector<int> m_retried;      // loads with a later load of their radio
    QVector<int> m_retriedAll;   // every load of a radio loaded more than once
    int m_retriedRadios = 0;
    QStringList m_notLoaded;
    bool m_hasList = false;
};
