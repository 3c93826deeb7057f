// What every load and every paint of the grid pays for the plan: working out
// the LoadPlan of 51 rows (frames, findings against a band plan, checksum),
// and painting the grid's visible rows of a 100 000-row plan with its tints.
// Median of many runs each.
//
//   plan_and_paint [runs]
//
// Targets: each well under 5 ms.

#include "BandProfiles.h"
#include "ChannelCursor.h"
#include "ChannelDatabase.h"
#include "ChannelEditor.h"
#include "ChannelFields.h"
#include "ChannelGrid.h"
#include "ChannelStore.h"
#include "ChannelTableModel.h"
#include "LoadPlan.h"
#include "RowCheck.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

static QString makePlan(const QTemporaryDir &dir, int n)
{
    QVector<QVariantList> rows;
    rows.reserve(n);
    for (int i = 1; i <= n; ++i)
        rows.append({ i, (i - 1) % 255 + 1, 150.0 + (i % 800) * 0.0125, 155.7 + (i % 800) * 0.0125,
                      QStringLiteral("第 %1 行").arg(i) });
    const QString path = dir.filePath(QStringLiteral("char4.mdb"));
    QString error;
    if (!ChannelDatabase::create(path, ChannelFields::names(), rows, &error))
        qFatal("%s", qPrintable(error));
    return path;
}

static double medianMs(int runs, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir dir;
    ChannelStore store;
    if (!store.open(makePlan(dir, 100000)))
        qFatal("%s", qPrintable(store.errorString()));
    // The band plan with the most to check (ranges, exclusions, raster,
    // splits), which these rows fit; and one they all fall outside of, so
    // that every row has warnings to word.
    for (const char *id : { "dedicated", "public" }) {
        const BandProfile band = *BandProfiles::find(QString::fromLatin1(id));
        int findings = 0;
        const double ms = medianMs(runs, [&] { findings = int(LoadPlan::of(store, band).findings().size()); });
        std::printf("LoadPlan of 51 rows (band %s, %d findings): median %.3f ms over %d runs\n", id, findings, ms,
                    runs);
    }
    const BandProfile band = *BandProfiles::find(QStringLiteral("dedicated"));

    ChannelEditor editor(&store);
    ChannelTableModel table(&editor);
    table.setSentRows(LoadPlan::rowsSent);
    table.setRowCheck([band](const ChannelRow &row) { return checkRow(row, band); });
    table.setPlanWarnings([band, &store](ChannelStore &) { return LoadPlan::of(store, band).crossRowMarks(); });
    ChannelCursor cursor(&store, &table);
    ChannelGrid grid;
    grid.setCursor(&cursor);
    grid.resize(513, 337);   // the designed 7695 × 5055 twips
    grid.show();
    store.fetchAll();
    QPixmap canvas(grid.viewport()->size());
    const struct { const char *where; int row; } places[] = { { "top (rows sent)", 0 }, { "row 50 000", 50000 },
                                                              { "last rows", 99990 } };
    for (const auto &place : places) {
        grid.scrollTo(table.index(place.row, 0), QAbstractItemView::PositionAtTop);
        const double paint = medianMs(runs, [&] { grid.viewport()->render(&canvas); });
        std::printf("paint of the visible rows at %s: median %.3f ms over %d runs\n", place.where, paint, runs);
    }
    return 0;
}
