#pragma once

#include "TransferPlan.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class ChannelCursor;
class ChannelStore;
class SerialLink;

// Loading the radio: from the first row of 信道表, one channel frame per tick of
// Timer1 (100 ms) to the serial line, TransferPlan::rowsSent (51) frames in all,
// then an idle tail until the counter reaches 130 and everything returns to
// rest. Nothing is read back.
//
// The counter moves 0, 2, …, 130: frames go out while it is below 102, the
// progress value is the counter of the sending tick, and from 100 on the status
// shows completion.
//
// The rows are read once, when the transfer starts: every frame comes from
// that reading, so the radio gets one consistent plan.
//
// Unlike the radio's first loader, a transfer never ends in "finished" after
// something went wrong: a row that cannot be encoded, a closed or failing port,
// an empty table refuse the start or stop the transfer at once with a message
// (stopped()), and the window returns to rest.
class TransferSequence : public QObject
{
    Q_OBJECT
public:
    static constexpr int step = 2;
    static constexpr int sendBelow = TransferPlan::rowsSent * step;
    static constexpr int finishedFrom = (TransferPlan::rowsSent - 1) * step;
    static constexpr int endAt = 130;
    // The first loader's counter: a change to the rows sent must not quietly
    // move the moment the status reads "finished" or the end of the tail.
    static_assert(sendBelow == 102 && finishedFrom == 100);
    static constexpr int intervalMs = 100;

    static const QString sendingText;    // "正在传送数据,,,,,,,"
    static const QString finishedText;   // "数据传送完毕!!!"

    TransferSequence(ChannelCursor *cursor, SerialLink *port, QObject *parent = nullptr);

    // Why the rows a transfer would send cannot go out (no table, no row, every
    // row that cannot be encoded), or empty when they can; `badRow` is the first
    // row that cannot, or -1.
    static QString checkTable(ChannelStore *channels, int *badRow = nullptr);

    // The menu command: checks the rows and the port, then starts from row 1
    // and counter 0, also when a transfer is already under way.
    bool start();
    // One tick of Timer1; called by the timer, or by hand in tests.
    void tick();
    // Stops at once, back to rest, and reports why; a running transfer's report
    // also says how many frames went out.
    void abort(const QString &message);
    // Stops at once without a word: the window is going away.
    void stop();

    bool isRunning() const { return m_timer.isActive(); }
    // Frames written by the running (or last) transfer, and how many it sends in all.
    int framesSent() const { return m_sent; }
    int framesExpected() const { return m_expected; }
    // The bytes the running (or last) transfer sends in all, read at its start.
    QByteArray planned() const;
    QVector<QByteArray> plannedFrames() const { return m_frames; }
    // The frames of the rows a transfer sends, as the store holds them now.
    static QVector<QByteArray> plan(ChannelStore *channels);
    // What went out of a transfer that stopped early: "已发送 14 帧（第 1–14 行），其余未发送".
    static QString sentSoFar(int sent);
    int counter() const { return m_counter; }
    int progress() const { return m_progress; }
    QString status() const { return m_status; }
    QTimer *timer() { return &m_timer; }   // Timer1, for tests that tick by hand

signals:
    void statusChanged(const QString &text);
    void progressChanged(int value);
    void frameSent(int row, const QString &frame);
    void allWritten();                      // the last frame is written, not yet on the line
    void stopped(const QString &message);   // refused or broken off: show it
    void finished();                        // back to rest after a full transfer

private:
    QString portName() const;
    void setStatus(const QString &text);
    void setProgress(int value);
    void reset();

    ChannelCursor *m_cursor;
    SerialLink *m_port;
    QTimer m_timer;
    int m_counter = 0;
    QVector<QByteArray> m_frames;   // what this transfer sends, read at its start
    int m_progress = 0;
    int m_sent = 0;
    int m_expected = 0;
    QString m_status = QStringLiteral(" ");
};
