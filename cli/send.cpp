#include "Commands.h"

#include "ChannelCursor.h"
#include "ChannelStore.h"
#include "CommandLine.h"
#include "QtSerialLink.h"
#include "SystemCause.h"
#include "Terminal.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

// Progress of a transfer on the terminal: a bar redrawn in place on a terminal,
// one line per frame when the output goes to a file or a pipe.
static void showProgress(int sent, int expected, bool terminal)
{
    if (!terminal) {
        Terminal::out(QStringLiteral("已发送 %1/%2").arg(sent).arg(expected));
        return;
    }
    const int width = 30 * sent / qMax(1, expected);
    std::printf("\r[%s%s] %d/%d", QByteArray(width, '#').constData(), QByteArray(30 - width, '.').constData(),
                sent, expected);
    std::fflush(stdout);
}

// The window's texts speak of COM1 and COM2; here the device was named.
static QString openFailure(const QtSerialLink &link, const QString &device)
{
    QString cause = link.openFailureCause();
    if (!QFileInfo::exists(device))
        cause = QStringLiteral("设备不存在");
    else if (cause.isEmpty())
        cause = QStringLiteral("已被其它程序使用");
    return QStringLiteral("不能打开串行端口 %1：%2（%3）").arg(device, cause, SystemCause::inChinese(link.errorString()));
}

// The transfer without a window: same frames, same 100 ms pacing; exit 0 only
// when every frame was written.
int sendCommand(const CommandLine &line)
{
    ChannelStore model;
    if (!Terminal::openTable(model, line.database()))
        return 1;
    ChannelCursor cursor(&model);
    const QString device = line.argument();
    QtSerialLink link;
    link.setDevice(1, device);
    if (!link.open()) {
        const QString failure = openFailure(link, device);
        Terminal::err(failure);
        TransferJournal::append(line.database(), {}, 0, QStringLiteral("失败：") + failure);
        return 1;
    }
    TransferSequence sequence(&cursor, &link);
    TransferJournal journal(&sequence, [&line] { return line.database(); });
    QObject::connect(&journal, &TransferJournal::writeFailed, [](const QString &message) { Terminal::err(message); });

    const bool terminal = isatty(STDOUT_FILENO);
    QObject::connect(&sequence, &TransferSequence::frameSent, [&] {
        showProgress(sequence.framesSent(), sequence.framesExpected(), terminal);
    });
    QObject::connect(&link, &SerialLink::failed, &sequence, [&](const QString &cause) {
        sequence.abort(QStringLiteral("%1 出现故障，已关闭：%2\n数据传送已停止。").arg(device, cause));
    });
    auto end = [terminal](const QString &message, bool ok) {
        if (terminal)
            Terminal::out(QString());
        ok ? Terminal::out(message) : Terminal::err(message);
        QCoreApplication::exit(ok ? 0 : 1);
    };
    QObject::connect(&sequence, &TransferSequence::stopped, [&](const QString &message) { end(message, false); });
    QObject::connect(&sequence, &TransferSequence::finished,
                     [&] { end(TransferSequence::finishedText, sequence.framesSent() == sequence.framesExpected()); });
    if (!sequence.start())
        return 1;   // stopped() has said why and the journal has it
    return QCoreApplication::exec();
}
