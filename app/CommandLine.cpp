#include "app/CommandLine.h"

#include "app/ChannelExchange.h"
#include "channels/ChannelCursor.h"
#include "channels/ChannelModel.h"
#include "channels/FieldValue.h"
#include "channels/JetConversion.h"
#include "serial/QtSerialLink.h"
#include "transfer/ChannelFrame.h"
#include "transfer/TransferSequence.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

static void out(const QString &text) { std::fputs(qPrintable(text + u'\n'), stdout); std::fflush(stdout); }
static void err(const QString &text) { std::fputs(qPrintable(text + u'\n'), stderr); }

CommandLine::CommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("QT7020 信道设置系统。不带参数时打开窗口。"));
    const QCommandLineOption help({ "h", "help" }, QStringLiteral("显示此帮助。"));
    const QCommandLineOption version({ "v", "version" }, QStringLiteral("显示版本。"));
    const QCommandLineOption db("db", QStringLiteral("信道文件（默认为当前文件夹中的 char4.mdb）。"),
                                QStringLiteral("FILE"), QStringLiteral("char4.mdb"));
    const QCommandLineOption frames("frames", QStringLiteral("列出传送时要发送的帧。"));
    const QCommandLineOption send("send", QStringLiteral("不开窗口，向设备 DEVICE 传送数据。"), QStringLiteral("DEVICE"));
    const QCommandLineOption exportTo("export", QStringLiteral("把信道表导出为 CSV。"), QStringLiteral("FILE"));
    const QCommandLineOption chirp("chirp", QStringLiteral("导出为 CHIRP 的 CSV 格式。"));
    const QCommandLineOption importFrom("import", QStringLiteral("用 CSV 文件替换信道表。"), QStringLiteral("FILE"));
    const QCommandLineOption convert("convert", QStringLiteral("把旧格式（Access）的信道文件转换为新格式。"));
    parser.addOptions({ help, version, db, frames, send, exportTo, chirp, importFrom, convert });

    const auto usage = [&parser] {
        return parser.helpText()
                .replace(QStringLiteral("<executable_name>"), QStringLiteral("qt7020"))
                .replace(QStringLiteral("Usage:"), QStringLiteral("用法:"))
                .replace(QStringLiteral("Options:"), QStringLiteral("选项:"));
    };
    auto stop = [this](int code, const QString &text, bool toErr) {
        m_finished = true;
        m_exitCode = code;
        toErr ? err(text) : out(text);
    };
    if (!parser.parse(arguments)) {
        stop(2, parser.errorText() + QStringLiteral("\n") + usage(), true);
        return;
    }
    if (parser.isSet(help)) {
        stop(0, usage(), false);
        return;
    }
    if (parser.isSet(version)) {
        stop(0, QStringLiteral("qt7020 " QT7020_VERSION), false);
        return;
    }
    if (!parser.positionalArguments().isEmpty()) {
        stop(2, QStringLiteral("多余的参数：%1").arg(parser.positionalArguments().join(u' ')), true);
        return;
    }
    m_database = parser.value(db);
    m_chirp = parser.isSet(chirp);
    const struct { const QCommandLineOption &option; Action action; } actions[] = {
        { frames, Frames }, { send, Send }, { exportTo, Export }, { importFrom, Import }, { convert, Convert },
    };
    for (const auto &a : actions) {
        if (!parser.isSet(a.option))
            continue;
        if (m_action != None) {
            stop(2, QStringLiteral("一次只能做一件事。"), true);
            return;
        }
        m_action = a.action;
        m_argument = a.option.valueName().isEmpty() ? QString() : parser.value(a.option);
    }
    if (m_chirp && m_action != Export)
        stop(2, QStringLiteral("--chirp 只能和 --export 一起用。"), true);
}

int CommandLine::run()
{
    switch (m_action) {
    case Frames: return frames();
    case Send: return send();
    case Export: return exportTable();
    case Import: return importTable();
    case Convert: return convert();
    case None: break;
    }
    return 0;
}

static bool openTable(ChannelModel &model, const QString &path)
{
    if (model.open(path))
        return true;
    err(QStringLiteral("信道数据库 %1 不能使用：%2。").arg(QFileInfo(path).absoluteFilePath(), model.errorString()));
    return false;
}

int CommandLine::frames()
{
    ChannelModel model;
    if (!openTable(model, m_database))
        return 1;
    const QString problem = TransferSequence::checkTable(&model);
    if (!problem.isEmpty()) {
        err(problem);
        return 2;
    }
    for (int row = 0; row < TransferSequence::frameCount; ++row) {
        const ChannelRow *r = model.rowAt(row);
        if (!r)
            break;
        out(QStringLiteral("%1\t%2\t%3").arg(row + 1).arg(FieldValue::fieldText(r->values[0]),
                ChannelFrame::encode(*r).text()));
    }
    return 0;
}

int CommandLine::send()
{
    ChannelModel model;
    if (!openTable(model, m_database))
        return 1;
    ChannelCursor cursor(&model);
    qputenv("QT7020_COM1", QFile::encodeName(m_argument));
    QtSerialLink link;
    if (!link.open()) {
        // The window's texts speak of COM1 and COM2; here the device was named.
        QString cause = link.openFailureCause();
        if (!QFileInfo::exists(m_argument))
            cause = QStringLiteral("设备不存在");
        else if (cause.isEmpty())
            cause = QStringLiteral("已被其它程序使用");
        err(QStringLiteral("不能打开串行端口 %1：%2（%3）").arg(m_argument, cause, link.errorString()));
        return 1;
    }
    TransferSequence sequence(&cursor, &link);
    // All 51 rows, or every row of a shorter table.
    const int expected = model.rowAt(TransferSequence::frameCount - 1) ? int(TransferSequence::frameCount)
                                                                       : model.rowCount();
    int sent = 0;
    const bool terminal = isatty(STDOUT_FILENO);
    QObject::connect(&sequence, &TransferSequence::frameSent, [&](int, const QString &) {
        ++sent;
        if (terminal) {
            const int width = 30 * sent / qMax(1, expected);
            std::printf("\r[%s%s] %d/%d", QByteArray(width, '#').constData(),
                        QByteArray(30 - width, '.').constData(), sent, expected);
            std::fflush(stdout);
        } else {
            out(QStringLiteral("已发送 %1/%2").arg(sent).arg(expected));
        }
    });
    QObject::connect(&link, &SerialLink::failed, &sequence, [&](const QString &cause) {
        sequence.abort(QStringLiteral("%1 出现故障，已关闭：%2\n数据传送已停止。").arg(m_argument, cause));
    });
    QObject::connect(&sequence, &TransferSequence::stopped, [&](const QString &message) {
        if (terminal)
            out(QString());
        err(message);
        QCoreApplication::exit(1);
    });
    QObject::connect(&sequence, &TransferSequence::finished, [&] {
        if (terminal)
            out(QString());
        out(TransferSequence::finishedText);
        QCoreApplication::exit(sent == expected ? 0 : 1);
    });
    if (!sequence.start())
        return 1;
    return QCoreApplication::exec();
}

int CommandLine::exportTable()
{
    ChannelModel model;
    if (!openTable(model, m_database))
        return 1;
    QString report, error;
    if (!ChannelExchange::exportTo(model, m_argument, m_chirp ? ChannelExchange::ChirpCsv : ChannelExchange::OurCsv,
                                   &report, &error)) {
        err(QStringLiteral("导出失败：%1").arg(error));
        return 1;
    }
    out(report);
    return 0;
}

int CommandLine::importTable()
{
    ChannelModel model;
    if (!openTable(model, m_database))
        return 1;
    ImportedRows rows;
    QString error;
    if (!ChannelExchange::read(m_argument, &rows, &error)) {
        err(QStringLiteral("导入失败，信道表没有改动：\n%1").arg(error));
        return 1;
    }
    QString backup;
    if (!model.replaceAll(rows.rows, &backup)) {
        err(QStringLiteral("导入失败，信道表没有改动：%1").arg(model.errorString()));
        return 1;
    }
    out(ChannelExchange::summary(rows));
    out(QStringLiteral("已导入 %1 行。原文件已复制为 %2。").arg(rows.rows.size()).arg(backup));
    return 0;
}

int CommandLine::convert()
{
    QString backup, error;
    if (!JetConversion::convert(m_database, &backup, &error)) {
        err(QStringLiteral("转换失败，%1 没有任何改动：%2").arg(m_database, error));
        return 1;
    }
    out(QStringLiteral("已转换为新格式。原文件已改名为 %1，内容未作改动。").arg(backup));
    return 0;
}
