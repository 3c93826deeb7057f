#include "Commands.h"

#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "FileFollower.h"
#include "QtSerialLink.h"
#include "SystemCause.h"
#include "SystemPortList.h"
#include "Terminal.h"
#include "SignalWatch.h"
#include "TransferController.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

#include <QCoreApplication>

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

// The window's texts speak of COM1 and COM2 and offer another device; here
// the device was named.
static QString openFailure(const QtSerialLink &link, const QString &device)
{
    const DeviceState state = link.openFailure();
    const QString system = SystemCause::inChinese(link.errorString());
    if (state.kind == DeviceState::Missing)
        return QStringLiteral("不能打开串口 %1：设备不存在（%2）").arg(device, system);
    if (state.cause.isEmpty())
        return QStringLiteral("不能打开串口 %1：已被其它程序使用（%2）").arg(device, system);
    return QStringLiteral("不能打开串口 %1：%2").arg(device, state.cause);
}

// A load refused before it started, in the journal under the radio it was meant for.
static void journalRefusal(const CommandLine &line, const QString &why)
{
    TransferJournal::Entry entry;
    entry.file = line.database();
    entry.radio = line.radio();
    entry.detail = why;
    QString error;
    if (!TransferJournal::refuse(entry, &error))
        Terminal::err(error);
}

// A plan with warnings goes out only on --force: refused with the list, and journaled.
static bool warningsRefused(const LoadPlan &plan, const CommandLine &line)
{
    if (plan.warningCount() == 0 || line.force())
        return false;
    const QString refusal = QStringLiteral("有 %1 处警告，数据没有传送；确认无误后加 --force 再传送。").arg(plan.warningCount());
    Terminal::err(plan.warningLines().join(u'\n') + u'\n' + refusal);
    journalRefusal(line, refusal);
    return true;
}

// The transfer without a window: same frames, same 100 ms pacing; exit 0 only
// when every frame has left the line.
int sendCommand(const CommandLine &line)
{
    ChannelStore store;
    if (!Terminal::openTable(store, line.database()))
        return ExitCode::Failed;
    // Another program may change the file while the frames go out: the
    // verdict then says the radio got the plan as it was at the start.
    FileFollower follower(&store);
    const QString device = line.argument();
    QtSerialLink link;
    link.setDevice(1, device);
    if (!link.open()) {
        const QString failure = openFailure(link, device);
        Terminal::err(failure);
        journalRefusal(line, failure);
        return ExitCode::Failed;
    }
    TransferController controller(&store, &link);
    const SystemPortList ports;
    controller.setPortList(&ports);
    controller.setBand(Terminal::band());
    controller.setRadio(line.radio());
    const LoadPlan plan = controller.prepare();
    if (plan.isSendable() && warningsRefused(plan, line))
        return ExitCode::Failed;
    const bool terminal = isatty(STDOUT_FILENO);
    QObject::connect(&controller, &TransferController::frameSent, [&](int row) {
        showProgress(row + 1, controller.framesPlanned(), terminal);
    });
    QObject::connect(&link, &SerialLink::failed, &controller, &TransferController::portFailed);
    QObject::connect(&controller, &TransferController::report, [terminal](const QString &message) {
        if (terminal)
            Terminal::out(QString());
        Terminal::err(message);
    });
    QObject::connect(&controller, &TransferController::concluded, [](LoadResult result, const QString &message) {
        if (result == LoadResult::Done)
            Terminal::out(TransferSequence::finishedText);
        else if (result == LoadResult::Interrupted)
            Terminal::err(message);
        QCoreApplication::exit(result == LoadResult::Done ? ExitCode::Ok : ExitCode::Failed);
    });
    SignalWatch signalWatch;
    QObject::connect(&signalWatch, &SignalWatch::received, &controller, [&controller](int signal) {
        controller.interrupt(QStringLiteral("收到 %1，传送中断").arg(SignalWatch::describe(signal)));
    });
    if (!controller.start(plan, plan.warningCount()))
        return ExitCode::Failed;   // the report has said why and the journal has it
    return QCoreApplication::exec();
}
