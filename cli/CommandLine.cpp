#include "CommandLine.h"

#include "Commands.h"
#include "ExitCode.h"
#include "RadioLabel.h"
#include "JetReader.h"
#include "Terminal.h"

#include <QCommandLineParser>
#include <QDate>
#include <QRegularExpression>

// Qt's own options, taken by the application in the window; without one
// they are accepted here and have no effect.
static const QStringList qtOptions = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "style", "stylesheet", "session", "display", "geometry", "title", "name", "visual",
};
static const QStringList qtSwitches = { "reverse", "widgetcount", "nograb", "dograb" };

CommandLine::CommandLine(const QStringList &arguments)
{
    parse(arguments);
}

// Qt's own options (-platform, -style, …) go to QApplication; the parser
// only has to let them pass.
static void acceptQtOptions(QCommandLineParser *parser)
{
    parser->setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QString &name : qtOptions + qtSwitches) {
        QCommandLineOption qt(name, QString(), qtSwitches.contains(name) ? QString() : QStringLiteral("VALUE"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser->addOption(qt);
    }
}

// The manual page is made from --help by help2man, so everything it says is
// here, laid out as help2man reads it: headings flush left and ending in a
// colon; a long tag's description on the next line, 20 columns in or more
// (23 lines it up with Qt's options).
static QString closingText()
{
    QString text = QStringLiteral("\n退出状态:\n");
    int last = -1;
    for (const ExitCode::Meaning &m : ExitCode::meanings) {
        if (m.code == last)
            text.replace(text.size() - 1, 1, u'；');
        else
            text += QStringLiteral("  %1  ").arg(m.code);
        text += QString::fromUtf16(m.text) + u'\n';
        last = m.code;
    }
    const struct { const char16_t *path, *text; } files[] = {
        { u"~/.config/qt7020/qt7020.conf", u"设置：最近打开的信道文件，串口设备与 COM 口的对应。" },
        { u"~/.local/share/qt7020/transfers.log", u"传送记录：每次传送两行 JSON（开始、结果），每行带着上一行的校验。" },
        { u"/usr/lib/udev/rules.d/70-qt7020-serial.rules",
          u"常见的 USB 数据线（CH340、PL2303、CP210x、FTDI）插上即可用，不必加入 dialout 组；ModemManager 不去碰它们。" },
        { u"/etc/fonts/conf.d/65-qt7020-fonts.conf", u"把楷体_GB2312、宋体等字体名对应到 AR PL 字体，别的程序也用得上。" },
    };
    text += QStringLiteral("\n文件:\n");
    for (const auto &f : files)
        text += QStringLiteral("  %1\n%2%3\n").arg(QString::fromUtf16(f.path), QString(23, u' '), QString::fromUtf16(f.text));
    return text;
}

// Qt's help text, with the program's name and its headings in Chinese.
static QString usageText(const QCommandLineParser &parser, const QString &program)
{
    return parser.helpText()
            .replace(QStringLiteral("<executable_name>"), QStringLiteral("qt7020"))
            .replace(QStringLiteral("Usage: ") + program, QStringLiteral("用法: qt7020"))
            .replace(QStringLiteral("Usage:"), QStringLiteral("用法:"))
            .replace(QStringLiteral("Options:"), QStringLiteral("选项:"))
            .replace(QStringLiteral("Arguments:"), QStringLiteral("参数:"))
            .replace(QStringLiteral("[options]"), QStringLiteral("[选项]"));
}

// Whoever set an English locale reads Qt's own words. The first variable set
// decides, as for setlocale(): LC_ALL=C under LANG=en_US is not English.
static bool englishLocale()
{
    for (const char *name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value.startsWith("en");
    }
    return false;
}

// QCommandLineParser says what is wrong in English only. Its four sentences
// have kept their wording through Qt 6; one it adds later still reaches the
// operator, in English within the Chinese.
static QString optionError(const QString &english)
{
    if (englishLocale())
        return english;
    // Qt names an unknown option without its dashes; the operator typed some.
    const auto dashed = [](const QString &names) {
        QStringList list = names.split(QStringLiteral(", "));
        for (QString &name : list)
            name.prepend(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"));
        return list.join(u'、');
    };
    const struct { const char *pattern; const char16_t *chinese; bool unknown; } known[] = {
        { "^Unknown option '(.*)'\\.$", u"未知选项：%1", true },
        { "^Unknown options: (.*)\\.$", u"未知选项：%1", true },
        { "^Missing value after '(.*)'\\.$", u"选项 %1 缺少参数", false },
        { "^Unexpected value after '(.*)'\\.$", u"选项 %1 不带参数", false },
    };
    for (const auto &k : known) {
        const QRegularExpressionMatch match = QRegularExpression(QLatin1String(k.pattern)).match(english);
        if (match.hasMatch())
            return QString::fromUtf16(k.chinese).arg(k.unknown ? dashed(match.captured(1)) : match.captured(1));
    }
    return QStringLiteral("命令行有误（%1）").arg(english);
}

// What --help says first: the program, and FILE (also --diff's B).
static void describeProgram(QCommandLineParser *parser)
{
    parser->setApplicationDescription(QStringLiteral("QT7020 信道设置系统。不带命令时打开窗口；带命令时不开窗口，"
                                                    "在终端上做完即退出，一次一个命令。"));
    parser->addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("要打开的信道文件（同 --db）。"),
                                  QStringLiteral("[FILE]"));
}

static const QCommandLineOption &doctorOption()
{
    static const QCommandLineOption doctor("doctor", QStringLiteral("串口诊断：查出设备 DEVICE（不给时查所有 USB 数据线）打不开或用不好的原因，"
                                                                   "并给出解决的命令。没有问题时退出 0，有问题时 1，设备不存在时 2。"));
    return doctor;
}

static const QCommandLineOption &diffOption()
{
    static const QCommandLineOption diff("diff", QStringLiteral("比较 A 与 FILE 传送时发出的帧，逐行列出不同之处。A 和 FILE "
                                                                "可以是信道文件，也可以是 journal:N（倒数第 N 次传送，1 为最近一次）"
                                                                "或 radio:LABEL（电台 LABEL 最近一次收到帧的传送）。"),
                                         QStringLiteral("A"));
    return diff;
}

// What fleets of radios add: which radio a load is for, and reports over time.
static QList<QCommandLineOption> fleetOptions()
{
    return {
            diffOption(),
            { "radio", QStringLiteral("与 --send 一起用：把这次传送记在电台 LABEL 名下。与 --journal 一起用："
                                      "只列出电台 LABEL 的传送，没有时退出 1。"), QStringLiteral("LABEL") },
            { "from", QStringLiteral("与 --journal 或 --diff 一起用：连同从其他电脑复制来的传送记录 FILE 一起读"
                                     "（可给多次），各自检查校验链，每次传送注明是哪台电脑的。"), QStringLiteral("FILE") },
            { "since", QStringLiteral("与 --journal 一起用：只列出 DATE（YYYY-MM-DD）当天及以后的传送。"
                                      "--journal 加上 --pdf OUT 时，把传送记录按电台打印成 PDF。"),
              QStringLiteral("DATE") },
            { "verify", QStringLiteral("与 --journal 一起用：检查传送记录是否被改动过。完好时退出 0，"
                                       "有记录被改动、删除或损坏时 1，读不了时 2。") },
    };
}

// --radio, --since and --journal --pdf OUT, each checked against the command;
// with --journal, --pdf names the report's file and is no command of its own.
void CommandLine::takeFleetOptions(const QCommandLineParser &parser)
{
    m_radio = parser.value(QStringLiteral("radio")).trimmed();
    if (parser.isSet(QStringLiteral("radio")) && ((m_command != Send && m_command != Journal) || m_radio.isEmpty()))
        return stop(ExitCode::Unusable, QStringLiteral("--radio 只能和 --send 或 --journal 一起用，且须写明电台。"), true);
    m_from = parser.values(QStringLiteral("from"));
    if (!m_from.isEmpty() && m_command != Journal && m_command != Diff)
        return stop(ExitCode::Unusable, QStringLiteral("--from 只能和 --journal 或 --diff 一起用。"), true);
    if (const QString refusal = RadioLabel::refusal(m_radio); !refusal.isEmpty())
        return stop(ExitCode::Unusable, refusal, true);
    m_verify = parser.isSet(QStringLiteral("verify"));
    if (m_verify && (m_command != Journal || m_csv || !m_argument.isEmpty() || !m_radio.isEmpty()))
        return stop(ExitCode::Unusable, QStringLiteral("--verify 只能和 --journal 一起用。"), true);
    if (m_command == Journal && parser.isSet(QStringLiteral("pdf")))
        m_argument = parser.value(QStringLiteral("pdf"));
    if (m_csv && m_command == Journal && !m_argument.isEmpty())
        return stop(ExitCode::Unusable, QStringLiteral("--csv 和 --pdf 不能一起用。"), true);
    if (!parser.isSet(QStringLiteral("since")))
        return;
    // Qt::ISODate takes any separator; the operator is told one form only.
    m_since = QDate::fromString(parser.value(QStringLiteral("since")), QStringLiteral("yyyy-MM-dd"));
    if (m_command != Journal)
        return stop(ExitCode::Unusable, QStringLiteral("--since 只能和 --journal 一起用。"), true);
    if (!m_since.isValid())
        stop(ExitCode::Unusable, QStringLiteral("--since 的日期应写成 YYYY-MM-DD：%1").arg(parser.value(QStringLiteral("since"))), true);
}

void CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    acceptQtOptions(&parser);
    describeProgram(&parser);
    const QCommandLineOption help({ "h", "help" }, QStringLiteral("显示此帮助。"));
    const QCommandLineOption version({ "v", "version" }, QStringLiteral("显示版本。"));
    const QCommandLineOption db("db", QStringLiteral("信道文件（默认为当前文件夹中的 char4.mdb）。"),
                                QStringLiteral("FILE"), QStringLiteral("char4.mdb"));
    const QCommandLineOption frames("frames", QStringLiteral("列出传送时要发送的帧。"));
    const QCommandLineOption send("send", QStringLiteral("不开窗口，向设备 DEVICE 传送数据。"), QStringLiteral("DEVICE"));
    const QCommandLineOption exportTo("export", QStringLiteral("把信道表导出为 CSV。"), QStringLiteral("FILE"));
    const QCommandLineOption chirp("chirp", QStringLiteral("导出为 CHIRP 的 CSV 格式。"));
    const QCommandLineOption force("force", QStringLiteral("信道有警告时仍然传送（与 --send 一起用）。"));
    const QCommandLineOption importFrom("import", QStringLiteral("用 CSV 文件替换信道表。"), QStringLiteral("FILE"));
    const QCommandLineOption convert("convert", QStringLiteral("把旧格式（Access）的信道文件转换为新格式。"));
    const QCommandLineOption loopback("loopback", QStringLiteral("检测数据线：发送端和接收端短接后，发出的数据应原样收回。"),
                                      QStringLiteral("DEVICE"));
    const QCommandLineOption listPorts("list-ports", QStringLiteral("列出串口设备及其对应的 COM 口。"));
    const QCommandLineOption check("check", QStringLiteral("检查要传送的信道：列出错误和警告。"));
    const QCommandLineOption pdf("pdf", QStringLiteral("把信道表打印到 PDF 文件 OUT。"), QStringLiteral("OUT"));
    const QCommandLineOption journal("journal", QStringLiteral("列出传送记录，最新的在前。"));
    const QCommandLineOption csv("csv", QStringLiteral("传送记录以 CSV 格式列出。"));
    const QCommandLineOption &doctor = doctorOption();
    // The Access reader run by the program itself in a child process; not for people.
    QCommandLineOption readJet("read-jet", QString(), QStringLiteral("TABLE"));
    readJet.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions(QList<QCommandLineOption>{ help, version, db, frames, send, force, exportTo, chirp, importFrom,
                      convert, loopback, listPorts, check, pdf, journal, csv, doctor, readJet } + fleetOptions());

    const auto usage = [&parser, &arguments] { return usageText(parser, arguments.value(0)); };
    if (!parser.parse(arguments))
        return stop(ExitCode::Unusable, optionError(parser.errorText()) + QStringLiteral("\n") + usage(), true);
    if (parser.isSet(help))
        return stop(ExitCode::Ok, usage() + closingText(), false);
    if (parser.isSet(version))
        return stop(ExitCode::Ok, QStringLiteral("qt7020 " QT7020_VERSION), false);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1 || (files.size() == 1 && parser.isSet(db)))
        return stop(ExitCode::Unusable, QStringLiteral("多余的参数：%1").arg(files.join(u' ')), true);
    m_database = files.isEmpty() ? parser.value(db) : files.first();
    m_chirp = parser.isSet(chirp);
    m_force = parser.isSet(force);
    m_csv = parser.isSet(csv);
    const struct { const QCommandLineOption &option; Command command; } commands[] = {
        { frames, Frames }, { send, Send }, { exportTo, Export }, { importFrom, Import }, { convert, Convert },
        { loopback, LoopbackTest }, { listPorts, ListPorts }, { check, Check }, { pdf, Pdf }, { journal, Journal },
        { doctor, Doctor }, { readJet, ReadJet }, { diffOption(), Diff } };
    for (const auto &c : commands) {
        if (!parser.isSet(c.option) || (c.command == Pdf && parser.isSet(journal)))   // see takeFleetOptions
            continue;
        if (m_command != None)
            return stop(ExitCode::Unusable, QStringLiteral("一次只能做一件事。"), true);
        m_command = c.command;
        m_argument = c.option.valueName().isEmpty() ? QString() : parser.value(c.option);
    }
    if (m_command == Doctor)   // its DEVICE is the one argument it may have
        m_argument = files.value(0);
    checkModifiers(parser);
}

// --chirp, --csv and --force each belong to one command.
void CommandLine::checkModifiers(const QCommandLineParser &parser)
{
    takeFleetOptions(parser);
    if (m_finished)
        return;
    if (m_chirp && m_command != Export)
        return stop(ExitCode::Unusable, QStringLiteral("--chirp 只能和 --export 一起用。"), true);
    if (m_csv && m_command != Journal)
        return stop(ExitCode::Unusable, QStringLiteral("--csv 只能和 --journal 一起用。"), true);
    if (m_force && m_command != Send)
        stop(ExitCode::Unusable, QStringLiteral("--force 只能和 --send 一起用。"), true);
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
    case LoopbackTest: return loopbackCommand(*this);
    case ListPorts: return listPortsCommand(*this);
    case Check: return checkCommand(*this);
    case Pdf: return pdfCommand(*this);
    case Journal: return m_argument.isEmpty() ? journalCommand(*this) : fleetReportCommand(*this);
    case Doctor: return doctorCommand(*this);
    case Diff: return diffCommand(*this);
    case ReadJet: return JetReader::serve(m_database, m_argument);
    case None: break;
    }
    return ExitCode::Ok;
}

CommandLine::Needs CommandLine::needs(const QStringList &arguments)
{
    Needs result = Needs::Window;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(u'-'))
            continue;
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(u'=', 0, 0);
        if (name == QLatin1String("pdf"))
            return Needs::Fonts;
        if (name != QLatin1String("db") && !qtOptions.contains(name) && !qtSwitches.contains(name))
            result = Needs::Nothing;
        // "qt7020 --db" is a usage error, to be said where no display may be.
        if (name == QLatin1String("db") && !argument.contains(u'=') && i == arguments.size() - 1)
            return Needs::Nothing;
    }
    return result;
}
