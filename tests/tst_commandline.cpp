#include "Fixtures.h"

#include "CommandLine.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("needs");
        QTest::addColumn<int>("exitCode");   // -1: goes on to the window or the command
        QTest::addColumn<QString>("database");
        using N = CommandLine::Needs;
        QTest::newRow("file") << QStringList{ "plan.mdb" } << int(N::Window) << -1 << "plan.mdb";
        QTest::newRow("qt options") << QStringList{ "-platform", "offscreen", "-reverse", "plan.mdb" } << int(N::Window)
                                    << -1 << "plan.mdb";
        QTest::newRow("qt options, a command") << QStringList{ "-platform", "offscreen", "--frames", "p.mdb" }
                                               << int(N::Nothing) << -1 << "p.mdb";
        QTest::newRow("pdf") << QStringList{ "--pdf", "o.pdf", "--db", "p.mdb" } << int(N::Fonts) << -1 << "p.mdb";
        QTest::newRow("two files") << QStringList{ "a.mdb", "b.mdb" } << int(N::Window) << 2 << "";
        QTest::newRow("file and --db") << QStringList{ "a.mdb", "--db", "b.mdb" } << int(N::Window) << 2 << "";
        QTest::newRow("unknown") << QStringList{ "--bogus" } << int(N::Nothing) << 2 << "";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, needs);
        QFETCH(int, exitCode);
        QFETCH(QString, database);
        arguments.prepend(QStringLiteral("qt7020"));
        QCOMPARE(int(CommandLine::needs(arguments)), needs);
        const CommandLine line(arguments);
        QCOMPARE(line.finished() ? line.exitCode() : -1, exitCode);
        if (!line.finished())
            QCOMPARE(line.database(), database);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
