#include "CommandLine.h"

#include "Commands.h"
#include "JetReader.h"
#include "Terminal.h"

#include <QCommandLineParser>

CommandLine::CommandLine(const QStringList &arguments)
{
    parse(arguments);
}

void CommandLine::parse(const QStringList &arguments)
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
    // The Access reader run by the program itself in a child process; not for people.
    QCommandLineOption readJet("read-jet", QString(), QStringLiteral("TABLE"));
    readJet.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({ help, version, db, frames, send, exportTo, chirp, importFrom, convert, readJet });

    const auto usage = [&parser] {
        return parser.helpText()
                .replace(QStringLiteral("<executable_name>"), QStringLiteral("qt7020"))
                .replace(QStringLiteral("Usage:"), QStringLiteral("用法:"))
                .replace(QStringLiteral("Options:"), QStringLiteral("选项:"));
    };
    if (!parser.parse(arguments))
        return stop(2, parser.errorText() + QStringLiteral("\n") + usage(), true);
    if (parser.isSet(help))
        return stop(0, usage(), false);
    if (parser.isSet(version))
        return stop(0, QStringLiteral("qt7020 " QT7020_VERSION), false);
    if (!parser.positionalArguments().isEmpty())
        return stop(2, QStringLiteral("多余的参数：%1").arg(parser.positionalArguments().join(u' ')), true);
    m_database = parser.value(db);
    m_chirp = parser.isSet(chirp);
    const struct { const QCommandLineOption &option; Command command; } commands[] = {
        { frames, Frames }, { send, Send }, { exportTo, Export }, { importFrom, Import }, { convert, Convert },
        { readJet, ReadJet },
    };
    for (const auto &c : commands) {
        if (!parser.isSet(c.option))
            continue;
        if (m_command != None)
            return stop(2, QStringLiteral("一次只能做一件事。"), true);
        m_command = c.command;
        m_argument = c.option.valueName().isEmpty() ? QString() : parser.value(c.option);
    }
    if (m_chirp && m_command != Export)
        stop(2, QStringLiteral("--chirp 只能和 --export 一起用。"), true);
}

void CommandLine::stop(int code, const QString &text, bool toError)
{
    m_finished = true;
    m_exitCode = code;
    toError ? Terminal::err(text) : Terminal::out(text);
}

int CommandLine::run() const
{
    switch (m_command) {
    case Frames: return framesCommand(*this);
    case Send: return sendCommand(*this);
    case Export: return exportCommand(*this);
    case Import: return importCommand(*this);
    case Convert: return convertCommand(*this);
    case ReadJet: return JetReader::serve(m_database, m_argument);
    case None: break;
    }
    return 0;
}
