#pragma once

#include "LoadPlan.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class SerialLink;

// Loading the radio: the frames of a load, one per tick of Timer1 (100 ms),
// to the serial line, then an idle tail until the counter reaches 130 and
// everything returns to rest. Nothing is read back.
//
// The counter moves 0, 2, …, 130: frames go out while it is below 102, the
// progress value is the counter of the sending tick, and from 100 on the status
// shows completion.
//
// The sequence owns its line: it sends the frames it was given and touches
// nothing else, so neither the file, nor its locks, nor the grid can hold up
// a tick. Where the grid's cursor stands is the window's business, told by
// frameSent().
//
// Unlike the radio's first loader, a transfer never ends in "finished" after
// something went wrong: a closed or failing port refuses the start or stops
// the transfer at once with a message (stopped()), and it returns to rest.
class TransferSequence : public QObject
{
    Q_OBJECT
public:
    static constexpr int step = 2;
    static constexpr int sendBelow = LoadPlan::rowsSent * step;
    static constexpr int finishedFrom = (LoadPlan::rowsSent - 1) * step;
    static constexpr int endAt = 130;
    // The first loader's counter: a change to the rows sent must not quietly
    // move the moment the status reads "finished" or the end of the tail.
    static_assert(sendBelow == 102 && finishedFrom == 100);
    static constexpr int intervalMs = 100;

    static const QString sendingText;    // "正在传送数据,,,,,,,"
    static const QString finishedText;   // "数据传送完毕!!!"

    explicit TransferSequence(SerialLink *port, QObject *parent = nullptr);

    // Starts sending `frames` from counter 0, also when a transfer is already
    // under way; false, with stopped(), when the port is not open.
    bool start(const QVector<QByteArray> &frames);
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
    int framesExpected() const { return int(m_frames.size()); }
    // What went out of a transfer that stopped early: "已发送 14 帧（第 1–14 行），其余未发送".
    static QString sentSoFar(int sent);
    int counter() const { return m_counter; }
    int progress() const { return m_progress; }
    QString status() const { return m_status; }
    QTimer *timer() { return &m_timer; }   // Timer1, for tests that tick by hand

signals:
    // Started, or back at rest however it ended.
    void runningChanged(bool running);
    void statusChanged(const QString &text);
    void progressChanged(int value);
    void frameSent(int row);                // from 0
    void allWritten();                      // the last frame is written, not yet on the line
    void stopped(const QString &message);   // refused or broken off: show it
    void finished();                        // back to rest after a full transfer

private:
    QString portName() const;
    void send();
    void setStatus(const QString &text);
    void setProgress(int value);
    void reset();

    SerialLink *m_port;
    QTimer m_timer;
    int m_counter = 0;
    QVector<QByteArray> m_frames;
    int m_progress = 0;
    int m_sent = 0;
    QString m_status = QStringLiteral(" ");
};
