#pragma once

#include "TestDatabase.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

// Plans and what a load of each comes to, worked out by hand and not by the
// program: whether it is refused and why, the warnings the operator is asked
// about, the checksum of the bytes that go out, and how many frames. Every
// front end that answers "can this go out, and what does it send" (the
// window's question, 连续传送, --check, --frames, --send, --diff, the sheet)
// is held to the same table.
struct PlanCase
{
    const char *name;
    QVector<QVariantList> rows;
    QString band;        // the band plan chosen
    QString refusal;     // empty: the plan may go out
    QStringList warnings;
    QString checksum;    // empty when refused
    int frames;
};

inline QVector<PlanCase> planCases()
{
    QVector<QVariantList> unsendable = TestDatabase::numberedRows(60);
    unsendable[9][2] = 99.5;
    unsendable[19][3] = 2000;
    unsendable[54][2] = 99.5;   // row 55 is never sent, so it refuses nothing
    const QString header = QStringLiteral("第 %1 行（记录编号 %1）警告：");
    return {
        { "clean", TestDatabase::numberedRows(60), QStringLiteral("none"), {}, {},
          QStringLiteral("d3bd7d894765510a8fb2b52cf8dfdac2c3fe4426cd4f04ee6052c5f2ad7cdedd"), 51 },
        { "short", TestDatabase::numberedRows(3), QStringLiteral("none"), {}, {},
          QStringLiteral("68287780f1613040d1b68b06a2cf27a98f5ad7737fe8207fdecd5fc2d40f9594"), 3 },
        // A channel taken twice, a typo off every raster, a 1 Hz slip the
        // frame's 100 Hz rounding removes (no warning), a row with no channel.
        { "warned",
          { { 1, 1, 438.5, 438.5, {} }, { 2, 1, 150.025, 155.525, {} }, { 3, 3, 438.5126, 438.5, {} },
            { 4, 4, 430.012501, 430.0125, {} }, { 5, 0, 438.5, 438.5, {} } },
          QStringLiteral("none"), {},
          { header.arg(2) + QStringLiteral("信道号 1 与第 1 行相同：电台只保留其中一个"),
            header.arg(3) + QStringLiteral("接收频率 438.5126 不在 5 kHz 或 6.25 kHz 的频道间隔上，可能输错"),
            header.arg(5) + QStringLiteral("信道号 为空或为 0：此行发送空帧 0000000000000000") },
          QStringLiteral("f9de2e84b9e8c11035eabf22f105530f921f084a49e4b1ce54dae168cb30f094"), 5 },
        // Receive 1 Hz off transmit, a split the public band forbids, but the
        // frame carries 409.75 MHz on both.
        { "public band", { { 1, 1, 409.750001, 409.75, {} } }, QStringLiteral("public"), {}, {},
          QStringLiteral("03dce5fd0bc6c6fd9f33f15e1e06e3cd394985d2307fd9d60616406507c629c8"), 1 },
        { "unsendable", unsendable, QStringLiteral("none"),
          QStringLiteral("第 10 行（记录编号 10）：接收频率 超出范围: 99.5\n"
                         "第 20 行（记录编号 20）：发送频率 超出范围: 2000\n数据没有传送。"),
          {}, {}, 0 },
        { "empty", {}, QStringLiteral("none"), QStringLiteral("信道表中没有数据，无法传送。"), {}, {}, 0 },
    };
}
