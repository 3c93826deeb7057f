#include "FleetSummary.h"

#include "FleetRun.h"

#include <QHash>

FleetSummary::FleetSummary(const FleetRun &run)
{
    const QVector<FleetRun::Radio> &radios = run.radios();
    QHash<QString, QVector<int>> loadsByLabel;
    QStringList order;
    for (int i = 0; i < radios.size(); ++i) {
        if (!radios.at(i).concluded)
            continue;   // the load on the cable counts once it has its verdict
        if (!loadsByLabel.contains(radios.at(i).label))
            order << radios.at(i).label;
        loadsByLabel[radios.at(i).label] << i;
    }
    for (const QString &label : order) {
        const QVector<int> &loads = loadsByLabel.value(label);
        (radios.at(loads.last()).result == LoadResult::Done ? m_done : m_failed) << loads.last();
        if (loads.size() > 1) {
            ++m_retriedRadios;
            m_retried << loads.mid(0, loads.size() - 1);
            m_retriedAll << loads;
        }
    }
    m_hasList = !run.labels().list().isEmpty();
    for (const QString &label : run.labels().list())
        if (!run.labels().wasLoaded(label))
            m_notLoaded << label;
}

int FleetSummary::count(Kind kind) const
{
    switch (kind) {
    case Kind::Done: return int(m_done.size());
    case Kind::Failed: return int(m_failed.size());
    case Kind::NotLoaded: return int(m_notLoaded.size());
    case Kind::Retried: return m_retriedRadios;
    }
    return 0;
}

QVector<int> FleetSummary::loadsOf(Kind kind) const
{
    switch (kind) {
    case Kind::Done: return m_done;
    case Kind::Failed: return m_failed;
    case Kind::Retried: return m_retriedAll;
    case Kind::NotLoaded: break;
    }
    return {};
}

QString FleetSummary::name(Kind kind)
{
    switch (kind) {
    case Kind::Done: return QStringLiteral("完成");
    case Kind::Failed: return QStringLiteral("失败");
    case Kind::NotLoaded: return QStringLiteral("未传送");
    case Kind::Retried: return QStringLiteral("重传");
    }
    return QString();
}

QString FleetSummary::text() const
{
    QStringList parts;
    for (Kind kind : kinds)
        if (kind != Kind::NotLoaded || m_hasList)
            parts << QStringLiteral("%1 %2").arg(name(kind)).arg(count(kind));
    return parts.join(QStringLiteral("，"));
}
