#include "FakePortList.h"
#include "OwnHome.h"
#include "Pty.h"
#include "TransferRig.h"

#include "DeviceIdentity.h"
#include "DeviceState.h"
#include "FleetRun.h"
#include "FleetSummary.h"
#include "Loopback.h"
#include "PortDoctor.h"
#include "PortFinder.h"
#include "PortHolder.h"
#include "PortMapping.h"
#include "QtSerialLink.h"

#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

// The far end of a cable whose data lines are joined: echoes what it gets,
// changed by `change`, or stays silent.
struct Peer
{
    enum Mode { Echo, Silent, Flip };
    Peer(const Pty &pty, Mode mode)
        : notifier(pty.master(), QSocketNotifier::Read)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, [fd = pty.master(), mode] {
            char buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            for (ssize_t i = 0; mode == Flip && i < n; ++i)
                buffer[i] ^= 0x10;
            if (n > 0 && mode != Silent)
                QVERIFY(::write(fd, buffer, size_t(n)) == n);
        });
    }
    QSocketNotifier notifier;
};

class TestSerial : public QObject
{
    Q_OBJECT
private slots:
    void mappingComesFromSettingsThenEnvironment()
    {
        qunsetenv("QT7020_COM1");
        qunsetenv("QT7020_COM2");
        QTemporaryDir config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        QVERIFY(!PortMapping::isChosen(1));
        QCOMPARE(PortMapping::deviceFor(2), QStringLiteral("/dev/ttyS1"));

        // Under the keys the README gives for editing by hand.
        PortMapping::save(1, QStringLiteral("/dev/ttyUSB7"));
        QCOMPARE(QSettings(config.filePath(QStringLiteral("qt7020/qt7020.conf")), QSettings::IniFormat).value("ports/COM1"),
                 QVariant(QStringLiteral("/dev/ttyUSB7")));
        QCOMPARE(QtSerialLink::deviceFor(1), QStringLiteral("/dev/ttyUSB7"));
        QVERIFY(PortMapping::isChosen(1) && !PortMapping::isChosen(2));

        qputenv("QT7020_COM1", "/dev/ttyACM3");
        QCOMPARE(QtSerialLink::deviceFor(1), QStringLiteral("/dev/ttyACM3"));
        qunsetenv("QT7020_COM1");
        QVERIFY(PortMapping::isOnBoard(QStringLiteral("/dev/ttyS0")) && !PortMapping::isOnBoard(QStringLiteral("/dev/ttyUSB7")));
    }

    void statesNameTheCause()
    {
        QCOMPARE(DeviceState::probe(QStringLiteral("/dev/qt7020-none")).kind, DeviceState::Missing);
        const DeviceState null = DeviceState::probe(QStringLiteral("/dev/null"));
        QCOMPARE(null.kind, DeviceState::NotSerial);
        QVERIFY(null.cause.contains(QStringLiteral("不是串口设备")));
        QtSerialLink send;   // as --send /dev/null does
        send.setDevice(1, QStringLiteral("/dev/null"));
        QVERIFY(!send.open());
        QVERIFY(send.openFailureCause().startsWith(null.cause + QStringLiteral("\n请在")));   // the window's remedy after it
        QCOMPARE(send.openFailureKind(), DeviceState::NotSerial);
        // A device of this link's own for COM2, as a fleet run gives its found cable.
        QtSerialLink second;
        second.setDevice(2, QStringLiteral("/dev/null"));
        QVERIFY(second.setPortNumber(2) && second.deviceName() == QStringLiteral("/dev/null"));

        Pty pty;
        QCOMPARE(DeviceState::probe(pty.device()).kind, DeviceState::Opens);   // this test's own hold does not count
        QProcess holder;
        holder.start(QStringLiteral("/bin/sh"), { "-c", QStringLiteral("exec sleep 30 <>%1").arg(pty.device()) });
        QVERIFY(holder.waitForStarted());
        QTRY_COMPARE(DeviceState::probe(pty.device()).kind, DeviceState::InUse);
        QCOMPARE(DeviceState::probe(pty.device()).cause,
                 QStringLiteral("串口 %1 正被 sleep（PID %2）使用。").arg(pty.device()).arg(holder.processId()));
        holder.kill();
        holder.waitForFinished();
    }

    void finderSelectsTheDeviceThatAppears()
    {
        FakePortList list;
        list.entries = { { QStringLiteral("/dev/ttyS0"), {}, {}, {}, {} },
                         { QStringLiteral("/dev/ttyUSB0"), QStringLiteral("USB Serial"), {}, "1a86:7523", {} } };
        PortFinder finder(&list);
        QSignalSpy found(&finder, &PortFinder::found);
        finder.start();
        finder.poll();
        finder.poll();
        QVERIFY(found.isEmpty());                  // a cable already there is no answer
        const PortEntry cable = list.entries.takeLast();
        finder.poll();
        list.entries.append(cable);                // pulled and put back
        finder.poll();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().first().value<PortEntry>().path, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(!finder.isRunning());

        // The dialog closed: no word comes after it, though a finder started
        // with it has given up since.
        QSignalSpy gaveUp(&finder, &PortFinder::gaveUp);
        PortFinder alongside(&list);
        QSignalSpy alongsideGaveUp(&alongside, &PortFinder::gaveUp);
        finder.start(50);
        alongside.start(50);
        finder.stop();
        QTRY_COMPARE(alongsideGaveUp.size(), 1);
        QVERIFY(gaveUp.isEmpty());
        finder.start(50);
        QTRY_COMPARE(gaveUp.size(), 1);
        QVERIFY(found.size() == 1 && !finder.isRunning());
    }

    // A fleet run's cable is known again under another node after replugging;
    // another adapter of the same make does not stand in for it.
    void adapterIsKnownAgainUnderAnotherNode()
    {
        const PortEntry ours{ QStringLiteral("/dev/ttyUSB0"), {}, {}, "1a86:7523", "A50285BI" };
        FakePortList list;
        list.entries = { { QStringLiteral("/dev/ttyS0"), {}, {}, {}, {} }, ours };
        const DeviceIdentity identity = DeviceIdentity::of(ours.path, list);
        QCOMPARE(identity.describe(), QStringLiteral("1a86:7523 A50285BI"));
        // What the journal keeps and the port dialog shows, from the same list.
        QCOMPARE(std::pair(identity.record(), identity.hint()),
                 std::pair(QStringLiteral("/dev/ttyUSB0 1a86:7523 A50285BI"), QStringLiteral("USB 数据线 1a86:7523")));
        QCOMPARE(DeviceIdentity::of(QStringLiteral("/dev/qt7020-none"), list).hint(), QStringLiteral("没有这个设备"));
        const PortEntry other{ QStringLiteral("/dev/ttyUSB1"), {}, {}, "1a86:7523", "B61396CJ" };
        const PortEntry back{ QStringLiteral("/dev/ttyUSB2"), {}, {}, "1a86:7523", "A50285BI" };
        const struct { QList<PortEntry> now; const char *found; } cases[] = {
            { { ours }, "/dev/ttyUSB0" }, { {}, "" }, { { other }, "" }, { { other, back }, "/dev/ttyUSB2" },
        };
        for (const auto &c : cases) {
            list.entries = c.now;
            QCOMPARE(identity.locate(list), QString::fromUtf8(c.found));
        }
    }

    // An empty Enter offers the last new label counted up; a reload leaves
    // the count where it was.
    void fleetRunOffersTheNextLabel()
    {
        const OwnHome home;
        TransferRig rig(TestDatabase::numberedRows(51));
        rig.port.refuseWrites = true;   // each load fails at its first frame
        FakePortList list;
        FleetRun run(&rig.controller, &rig.store, &rig.port, &list, rig.controller.prepare(), 0);
        const struct { const char *typed, *radio, *offered; } labels[] = {
            { "", "电台 1", "电台 2" },          { "巡逻09", "巡逻09", "巡逻10" }, { " 巡逻99 ", "巡逻99", "巡逻100" },
            { "A-007", "A-007", "A-008" },      { "指挥车", "指挥车", "电台 6" }, { "巡逻09", "巡逻09", "电台 6" },
        };
        for (const auto &label : labels) {
            QVERIFY(run.load(QString::fromUtf8(label.typed)));
            rig.ticks(1);
            QCOMPARE(run.state(), FleetRun::State::Ready);
            QCOMPARE(std::pair(run.radios().last().label, run.nextLabel()),
                     std::pair(QString::fromUtf8(label.radio), QString::fromUtf8(label.offered)));
        }
    }

    // No label is lost: one entered during a load waits in order, a load
    // broken off offers its own label again, the list gives the rest; the
    // summary counts radios, not loads.
    void fleetRunKeepsEveryLabel()
    {
        const OwnHome home;
        TransferRig rig(TestDatabase::numberedRows(51));
        FakePortList list;
        FleetRun run(&rig.controller, &rig.store, &rig.port, &list, rig.controller.prepare(), 0);
        run.setList({ "巡逻01", "巡逻02", "巡逻03", "巡逻04" });
        const struct { const char *action, *typed; bool starts; const char *queued, *offered; } steps[] = {
            { "enter", "", true, "", "巡逻02" },                       // the list's first
            { "enter", "巡逻01", false, "", "巡逻02" },                 // the radio on the cable, scanned again
            { "enter", "指挥车", false, "指挥车", "指挥车" },            // scanned during the load
            { "enter", "指挥车", false, "指挥车", "指挥车" },            // and twice
            { "enter", "", false, "指挥车 巡逻02", "指挥车" },          // the list's next, after it
            { "done", "", false, "指挥车 巡逻02", "指挥车" },
            { "enter", "指挥车", true, "巡逻02", "巡逻02" },
            { "stop", "", false, "指挥车 巡逻02", "指挥车" },           // still on the cable
            { "enter", "", true, "巡逻02", "巡逻02" },
            { "fail", "", false, "巡逻02", "巡逻02" },
            { "enter", "指挥车", true, "巡逻02", "巡逻02" },
            { "done", "", false, "巡逻02", "巡逻02" },
            { "enter", "", true, "", "巡逻03" },
            { "fail", "", false, "", "巡逻03" },
        };
        for (const auto &step : steps) {
            const QString action = QString::fromUtf8(step.action);
            rig.port.refuseWrites = action == "fail";
            if (action == "enter")
                QCOMPARE(run.load(QString::fromUtf8(step.typed)), step.starts);
            else if (action == "stop")
                run.stop(QStringLiteral("停止"));
            else
                rig.ticks(51);
            QCOMPARE(std::pair(run.labels().queued().join(u' '), run.nextLabel()),
                     std::pair(QString::fromUtf8(step.queued), QString::fromUtf8(step.offered)));
        }
        QStringList loads;
        for (const FleetRun::Radio &radio : run.radios())
            loads << radio.label + resultText(radio.result);
        QCOMPARE(loads, QStringList({ "巡逻01完成", "指挥车中断", "指挥车失败", "指挥车完成", "巡逻02失败" }));
        const FleetSummary summary(run);
        QCOMPARE(summary.text(), QStringLiteral("完成 2，失败 1，未传送 2，重传 1"));
        QCOMPARE(summary.notLoaded(), QStringList({ "巡逻03", "巡逻04" }));
        QCOMPARE(summary.loadsOf(FleetSummary::Kind::Retried), QVector<int>({ 1, 2, 3 }));
        QVERIFY(summary.isRetried(1) && summary.isRetried(2) && !summary.isRetried(3) && !summary.isRetried(4));
        QCOMPARE(run.labels().doneOfList(), 1);
        run.setList({ "巡逻01" });   // a list all loaded offers nothing, and an empty Enter starts nothing
        QVERIFY(run.nextLabel().isEmpty() && !run.load(QString()) && run.radios().size() == 5);
    }

    // A plan changed under the run pauses it between radios; it goes on with
    // the new plan on the operator's word, for the plan shown. The radio being
    // loaded gets its start plan whole; a plan that may not go out cannot be
    // gone on with; a change undone needs no word.
    void fleetRunPausesForAChangedPlan()
    {
        const OwnHome home;
        TransferRig rig(TestDatabase::numberedRows(51));
        FakePortList list;
        FleetRun run(&rig.controller, &rig.store, &rig.port, &list, rig.controller.prepare(), 0);
        const auto change = [&rig](const char *sql) {
            otherProgram(rig.file.path(), QString::fromUtf8(sql));
            rig.store.reload();
        };
        QVERIFY(run.load(QStringLiteral("巡逻01")));
        change("UPDATE 信道表 SET 接收频率 = 440 WHERE rowid = 1");
        rig.ticks(51);
        QCOMPARE(rig.port.written, TestDatabase::sentFrames(1, 51));
        QCOMPARE(run.radios().last().cause, QStringLiteral("传送期间文件已改动，电台收到的是开始传送时的信道表"));
        QTRY_COMPARE(run.state(), FleetRun::State::PlanChanged);
        const QString changed = run.newPlan().checksum();
        QVERIFY(!run.load(QStringLiteral("巡逻02")));
        QVERIFY(!run.continueWithNewPlan(run.checksum(), 0));
        QVERIFY(run.continueWithNewPlan(changed, 0));
        QCOMPARE(std::pair(run.checksum(), run.events().last().kind), std::pair(changed, FleetRun::Event::Kind::PlanChange));
        QVERIFY(run.load(QStringLiteral("巡逻02")));
        rig.ticks(51);
        QCOMPARE(LoadPlan::checksumOf(rig.port.written.right(16 * 51)), changed);

        change("UPDATE 信道表 SET 接收频率 = 99.5 WHERE rowid = 3");
        QTRY_COMPARE(run.state(), FleetRun::State::PlanChanged);
        QVERIFY(!run.newPlan().isSendable() && !run.continueWithNewPlan(run.newPlan().checksum(), 0));
        change("UPDATE 信道表 SET 接收频率 = 430.0375 WHERE rowid = 3");
        QTRY_COMPARE(run.state(), FleetRun::State::Ready);
        QCOMPARE(run.radios().size(), 2);
    }

    // The run keeps the rows locked from its start to its end, whichever of
    // a load's two ends (its verdict, its sequence back at rest) comes first.
    void fleetRunHoldsThePlanBetweenLoads()
    {
        const OwnHome home;
        for (bool verdictFirst : { true, false }) {
            TransferRig rig(TestDatabase::numberedRows(51));
            FakePortList list;
            FleetRun run(&rig.controller, &rig.store, &rig.port, &list, rig.controller.prepare(), 0);
            QCOMPARE(rig.store.refusalReason(), FleetRun::lockReason);
            QVERIFY(run.load(QStringLiteral("巡逻01")));
            rig.port.queued = verdictFirst ? 0 : 16;   // a line that has not drained when the tail ends
            rig.ticks(65);
            QCOMPARE(rig.store.refusalReason(), FleetRun::lockReason);
            rig.port.queued = 0;
            QTRY_COMPARE(run.state(), FleetRun::State::Ready);
            QCOMPARE(rig.store.refusalReason(), FleetRun::lockReason);
            run.finish();
            QCOMPARE(rig.store.refusalReason(), QString());
        }
    }

    // Replugged, the adapter a fleet run started on is found by its serial
    // number on another node; the saved choice of COM1 goes with it. The
    // run is then ready, and loads only on the operator's next Enter.
    void fleetRunFollowsItsAdapter()
    {
        const OwnHome home;
        auto cable = std::make_unique<Pty>();
        PortMapping::save(1, cable->device());
        FakePortList list;
        auto plug = [&list, &cable] { list.entries = { { cable->device(), {}, {}, "1a86:7523", "A50285BI" } }; };
        plug();
        TestDatabase file(TestDatabase::numberedRows(51));
        ChannelStore store;
        QVERIFY(store.open(file.path()));
        QtSerialLink link;
        TransferController transfer(&store, &link);
        FleetRun run(&transfer, &store, &link, &list, transfer.prepare(), 0);
        QCOMPARE(run.adapter(), QStringLiteral("1a86:7523 A50285BI"));
        for (int radio = 1; radio <= 2; ++radio) {
            if (radio == 2) {
                QVERIFY(!run.load(QString()));
                QCOMPARE(run.state(), FleetRun::State::WaitingForCable);
                plug();
                QTRY_COMPARE(run.state(), FleetRun::State::Ready);
                QVERIFY(run.cableBack());
                QCOMPARE(std::pair(run.state(), run.radios().size()), std::pair(FleetRun::State::Ready, qsizetype(1)));
                QCOMPARE(PortMapping::saved(1), cable->device());
            }
            QVERIFY(run.load(QString()));
            TransferRig::tick(&transfer, 51);
            QCOMPARE(cable->read(16 * 51).size(), 16 * 51);
            QTRY_COMPARE(run.state(), FleetRun::State::Ready);
            QCOMPARE(run.radios().last().result, LoadResult::Done);
            auto next = std::make_unique<Pty>();   // first, so that it gets another node
            cable = std::move(next);
            list.entries.clear();
        }
    }

    // A cable another program holds is there, busy: the run says who holds
    // it, and is ready without loading once it is let go.
    void fleetRunWaitsForABusyCable()
    {
        const OwnHome home;
        TransferRig rig(TestDatabase::numberedRows(51));
        rig.port.cause = QStringLiteral("串口 /dev/fake1 正被 minicom（PID 4242）使用。");
        FakePortList list;
        list.entries = { { rig.port.deviceName(), {}, {}, {}, {} } };
        FleetRun run(&rig.controller, &rig.store, &rig.port, &list, rig.controller.prepare(), 0);
        rig.port.close();
        rig.port.busy = { 1 };
        QVERIFY(!run.load(QStringLiteral("巡逻05")));
        QCOMPARE(run.state(), FleetRun::State::PortBusy);
        QVERIFY2(run.portCause().endsWith(rig.port.cause), qPrintable(run.portCause()));
        rig.port.busy.clear();
        QTRY_COMPARE(run.state(), FleetRun::State::Ready);
        QVERIFY(run.cableBack() && run.radios().isEmpty() && rig.port.written.isEmpty());
    }

    void loopback_data()
    {
        QTest::addColumn<int>("peer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("said");
        QTest::newRow("echo") << int(Peer::Echo) << int(Loopback::Passed) << QStringLiteral("全部原样收回");
        QTest::newRow("silent") << int(Peer::Silent) << int(Loopback::NoEcho) << QStringLiteral("没有回波");
        QTest::newRow("changed") << int(Peer::Flip) << int(Loopback::Garbled) << QStringLiteral("从第 1 个起不符");
    }

    void loopback()
    {
        QFETCH(int, peer);
        QFETCH(int, result);
        QFETCH(QString, said);
        const QByteArray pattern = Loopback::pattern();
        QVERIFY(pattern.size() >= 32);
        char ones = 0, zeros = 0;
        for (const char b : pattern) {
            ones |= b;
            zeros |= char(~b);
        }
        QCOMPARE(int(uchar(ones)) + int(uchar(zeros)), 2 * 0xFF);   // every bit both 0 and 1

        Pty pty;
        Peer far(pty, Peer::Mode(peer));
        Loopback test;
        QSignalSpy finished(&test, &Loopback::finished);
        test.start(pty.device());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Loopback::echoWaitMs + 2000);
        QCOMPARE(finished.first().at(0).toInt(), result);
        QVERIFY2(finished.first().at(1).toString().contains(said), qPrintable(finished.first().at(1).toString()));
        QVERIFY(!test.isRunning());
    }

    void openingAppliesTheLineSettings()
    {
        Pty pty;
        qputenv("QT7020_COM1", pty.device().toLocal8Bit());
        QtSerialLink link;
        QVERIFY2(link.open(), qPrintable(link.errorString()));
        QVERIFY(link.isOpen());
        QVERIFY(!link.setPortNumber(2));   // not while open
        termios t;
        QCOMPARE(::tcgetattr(pty.slave(), &t), 0);
        // 1200 baud both ways, 8N1, no flow control, nothing added to the bytes.
        QCOMPARE(QList<tcflag_t>({ ::cfgetospeed(&t), ::cfgetispeed(&t), t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS),
                                   t.c_iflag & (IXON | IXOFF | IXANY), t.c_oflag & OPOST }),
                 QList<tcflag_t>({ B1200, B1200, CS8, 0, 0 }));
        link.close();
        link.close();   // closing a closed port is no failure
        QVERIFY(!link.isOpen());
        QVERIFY(!link.setPortNumber(3) && !link.setPortNumber(0) && link.setPortNumber(2));
    }

    void openingFailsWhenMissingOrBusy()
    {
        qputenv("QT7020_COM1", "/dev/qt7020-no-such-device");
        QtSerialLink missing;
        QVERIFY(!missing.open());
        QVERIFY(!missing.errorString().isEmpty());
        QCOMPARE(missing.openFailureCause(),
                 QStringLiteral("设备 /dev/qt7020-no-such-device 不存在。\n请在“系统设置 → 串口与数据线 → 串口设备…”中为 COM1 "
                                "选择设备（或用环境变量 QT7020_COM1 指定）。"));
        QCOMPARE(missing.openFailureKind(), DeviceState::Missing);
        QVERIFY(!missing.isOpen());
        QVERIFY(!missing.write("0000000000000000"));

        // One device under two names, a /dev/serial/by-id link and the device
        // it points at, is held once.
        Pty pty;
        QTemporaryDir dir;
        const QString byId = dir.filePath(QStringLiteral("usb-QT7020_cable-if00-port0"));
        QVERIFY(QFile::link(pty.device(), byId));
        QCOMPARE(PortMapping::resolved(byId), pty.device());
        qputenv("QT7020_COM1", byId.toLocal8Bit());
        QtSerialLink first;
        QtSerialLink second;
        second.setDevice(1, pty.device());
        QVERIFY(first.open());
        QVERIFY(!second.open());
        QVERIFY(!second.isOpen());
        QCOMPARE(second.openFailureCause(), QString());   // in use says no more than that
        QCOMPARE(second.openFailureKind(), DeviceState::InUse);
        first.close();
        QTRY_VERIFY(second.open());
    }

    void writesGoOutUnchangedAndWholeOnClose()
    {
        Pty pty;
        qputenv("QT7020_COM1", pty.device().toLocal8Bit());
        QtSerialLink link;
        QVERIFY(link.open());
        QByteArray sent;
        for (int i = 0; i < 20; ++i) {
            const QByteArray frame = QByteArray::number(1000000000000000LL + i);
            QVERIFY(link.write(frame));
            sent += frame;
        }
        // Closed straight after writing: every queued frame still arrives, whole.
        link.close();
        QVERIFY(!link.write("0000000000000000"));
        QCOMPARE(pty.read(sent.size() + 1, 1500), sent);

        // Opened again while the last close still drains what the other end does
        // not take: the draining port is closed at once, not left holding the device.
        QVERIFY(link.open());
        QVERIFY(link.write(QByteArray(256 * 1024, 'x')));
        link.close();
        QVERIFY2(link.open(), qPrintable(link.errorString()));
    }

    // Lock files as programs write them, a flock in the kernel's list and an
    // open file, in a tree of our own; an ended process's lock (removed), our
    // own and another device's file name nobody.
    void holdersAreNamed_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");   // a link's target under fd/
        QTest::addColumn<qint64>("pid");
        const qint64 live = ::getppid();
        const pid_t ended = ::fork();
        if (ended == 0)
            ::_exit(0);
        ::waitpid(ended, nullptr, 0);
        const int binary = int(live);
        const QString self = QCoreApplication::applicationFilePath();
        struct stat file;
        QCOMPARE(::stat(QFile::encodeName(self).constData(), &file), 0);
        const QString usb = QStringLiteral("/dev/ttyUSB0");
        const QByteArray uucp = QByteArray::number(live).rightJustified(10) + '\n';
        QTest::newRow("uucp") << usb << "run/lock/LCK..ttyUSB0" << uucp << live;
        QTest::newRow("binary") << usb << "var/lock/LCK..ttyUSB0" << QByteArray((const char *)&binary, 4) << live;
        QTest::newRow("flock") << self << "proc/locks"
                               << QString::asprintf("1: FLOCK  ADVISORY  WRITE 4321 %02x:%02x:%lu 0 EOF\n",
                                                    major(file.st_dev), minor(file.st_dev), file.st_ino).toLatin1()
                               << qint64(4321);
        QTest::newRow("open file") << usb << "proc/1234/fd/3" << usb.toLatin1() << qint64(1234);
        QTest::newRow("ended") << usb << "run/lock/LCK..ttyUSB0" << QByteArray::number(ended) + '\n' << qint64(0);
        // In the ten-digit form: a three-digit PID and its line end are four bytes, the binary form.
        QTest::newRow("ours") << usb << "run/lock/LCK..ttyUSB0" << QByteArray::number(::getpid()).rightJustified(10) + '\n'
                              << qint64(0);
        QTest::newRow("another device") << usb << "proc/1234/fd/3" << QByteArray("/dev/ttyUSB01") << qint64(0);
        QTest::newRow("no PID yet") << usb << "run/lock/LCK..ttyUSB0" << QByteArray("being written\n") << qint64(0);
    }

    // The three forms of a lock file, the binary one also when its bytes look like digits.
    void lockFilesNameTheirPid()
    {
        QCOMPARE(PortHolder::lockOwner(QByteArray("91\0\0", 4)), 12601);
        QCOMPARE(PortHolder::lockOwner("     12345\n"), 12345);
        QCOMPARE(PortHolder::lockOwner("12345\nqt7020\nhost\n"), 12345);
        QCOMPARE(PortHolder::lockOwner("garbage\n"), 0);
    }

    void holdersAreNamed()
    {
        QFETCH(QString, device);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(qint64, pid);
        QTemporaryDir root;
        QFile lock(root.filePath(file)), comm(root.filePath(QStringLiteral("proc/%1/comm").arg(pid)));
        QVERIFY(QDir().mkpath(QFileInfo(lock).path()) && QDir().mkpath(QFileInfo(comm).path()));
        QVERIFY(file.contains(QLatin1String("/fd/")) ? QFile::link(content, lock.fileName())
                                                      : lock.open(QIODevice::WriteOnly) && lock.write(content));
        QVERIFY(comm.open(QIODevice::WriteOnly) && comm.write("minicom\n"));
        lock.close();
        comm.close();
        const PortHolder holder = PortHolder::find(device, { root.path() });
        QCOMPARE(holder.pid, pid);
        QCOMPARE(holder.name, pid ? QStringLiteral("minicom") : QString());
        PortHolder::fromLockFile(device, { root.path() }, PortHolder::RemoveStale);
        QCOMPARE(QFileInfo(lock).isSymLink() || lock.exists(), QByteArray(QTest::currentDataTag()) != "ended");
    }

    // A running program's flock, or its lock file, which QSerialPort alone
    // would take for stale and delete: refused, the holder named, its lock kept.
    void heldDeviceIsRefused_data()
    {
        QTest::addColumn<bool>("flock");
        QTest::newRow("flock") << true;
        QTest::newRow("lock file") << false;
    }

    void heldDeviceIsRefused()
    {
        QFETCH(bool, flock);
        Pty pty;
        const QByteArray device = QFile::encodeName(pty.device());
        QFile lock(QStringLiteral("/run/lock/LCK..pts_") + QFileInfo(pty.device()).fileName());
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::prctl(PR_SET_NAME, "holder");
            (void)!::flock(::open(device.constData(), O_RDWR | O_NOCTTY), flock ? LOCK_EX : LOCK_UN);
            (void)!::write(ready[1], "!", 1);
            ::pause();
        }
        char byte;
        const bool started = ::read(ready[0], &byte, 1) == 1;
        // In the UUCP form, ten digits: a three-digit PID and its line end
        // alone would be four bytes, the binary form.
        const bool locked = flock
                || (lock.open(QIODevice::WriteOnly) && lock.write(QByteArray::number(child).rightJustified(10) + '\n') > 0);
        lock.close();
        QtSerialLink link;
        link.setDevice(1, pty.device());
        const bool opened = link.open();
        const bool kept = lock.exists();
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        QVERIFY(started && locked && !opened);
        QCOMPARE(link.openFailureCause(), QStringLiteral("串口 %1 正被 holder（PID %2）使用。").arg(pty.device()).arg(child));
        QCOMPARE(kept, !flock);   // Qt's own went with the refused port
        QVERIFY(link.open());     // the holder gone, its lock file stale
    }

    // A device file with no chip behind it, as a laptop's /dev/ttyS0.
    void nodeWithoutHardwareIsNoDevice()
    {
        QTemporaryDir dir;
        const QString node = dir.filePath(QStringLiteral("ttyS0"));
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0660, makedev(4, 127)) != 0)
            QSKIP("making a device file needs root");
        QtSerialLink link;
        link.setDevice(1, node);
        QVERIFY(!link.open());
        QVERIFY2(QRegularExpression(QStringLiteral("^没有这个串口设备（%1：[^\\n]*）。\n.*选择 USB 数据线").arg(node))
                         .match(link.openFailureCause()).hasMatch(), qPrintable(link.openFailureCause()));
    }

    // A CH340 cable as udev and the kernel show it, in a tree of our own, then
    // one thing broken per row: the finding that says so and its command, the
    // number of problems, and qt7020 --doctor's status on the same tree (-1:
    // the access rows, which hold for another user only).
    void doctorNamesTheFault_data()
    {
        QTest::addColumn<QString>("device");   // empty: every adapter
        QTest::addColumn<QStringList>("changes");   // "path=content", "path->target", "!path"
        QTest::addColumn<bool>("member");   // the user in the device's group in this login
        QTest::addColumn<int>("problems");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("remedy");
        QTest::addColumn<int>("status");
        const QString usb = QStringLiteral("/dev/ttyUSB0"), byId = QStringLiteral("/dev/serial/by-id/usb-1a86-port0");
        const QString driver = QStringLiteral("!sys/devices/usb1/1-1/1-1:1.0/ttyUSB0/driver");
        const QString reload = QStringLiteral("sudo udevadm control --reload && sudo udevadm trigger");
        QTest::newRow("all clear") << QString() << QStringList() << true << 0
                                   << "/dev/ttyUSB0：芯片 1a86:7523（WCH CH340/CH341），驱动 ch341。" << "" << 0;
        QTest::newRow("not in the group") << usb << QStringList() << false << 1 << "用户 alice 不在 dialout 组里"
                                          << "sudo usermod -aG dialout $USER" << -1;
        QTest::newRow("joined, not logged in again") << usb << QStringList{ "etc/group=dialout:x:%gid:bob,alice\n" } << false
                                                     << 1 << "已加入 dialout 组" << "newgrp dialout" << -1;
        QTest::newRow("held, by its by-id name")
                << byId << QStringList{ "run/lock/LCK..ttyUSB0=     %ppid\n", "proc/%ppid/comm=minicom\n" } << true << 1
                << "/dev/ttyUSB0 正被 minicom（PID %ppid）使用" << "kill %ppid" << 1;
        QTest::newRow("brltty") << usb << QStringList{ "proc/812/comm=brltty\n" } << true << 1 << "brltty 正在运行（PID 812）"
                                << "sudo apt remove brltty" << 1;
        QTest::newRow("ModemManager, no rule") << usb << QStringList{ "proc/700/comm=ModemManager\n", "run/udev/data/c188:0=G:uaccess\n",
                                                                      "!usr/lib/udev/rules.d/70-qt7020-serial.rules" }
                                               << true << 1 << "ModemManager 正在运行" << "sudo systemctl disable --now ModemManager" << 1;
        QTest::newRow("rule not applied") << usb << QStringList{ "run/udev/data/c188:0=E:ID_MM_DEVICE_IGNORE=1\n" } << true << 1
                                          << "70-qt7020-serial.rules 还没有用到 /dev/ttyUSB0" << reload << 1;
        QTest::newRow("rule under /usr/local")
                << usb << QStringList{ "usr/local/lib/udev/rules.d/70-qt7020-serial.rules=", "!usr/lib/udev/rules.d/70-qt7020-serial.rules" }
                << true << 1 << "udev 不读这个文件夹"
                << "sudo ln -s /usr/local/lib/udev/rules.d/70-qt7020-serial.rules /etc/udev/rules.d/ && " + reload << 1;
        QTest::newRow("no driver") << usb << QStringList{ driver } << true << 1 << "没有绑定驱动" << "sudo modprobe ch341" << 1;
        QTest::newRow("no device file") << usb << QStringList{ "!dev/ttyUSB0" } << true << 1 << "设备 /dev/ttyUSB0 不存在"
                                        << "ls -l /dev/serial/by-id/" << 2;
        QTest::newRow("no cable") << QString() << QStringList{ "!sys/class/tty/ttyUSB0" } << true << 1 << "没有找到 USB 数据线"
                                  << "sudo dmesg | tail -n 20" << 1;
        QTest::newRow("on-board port, no UART")
                << "/dev/ttyS0" << QStringList{ "dev/ttyS0=", "sys/class/tty/ttyS0/device->/sys/devices/platform/serial8250",
                                                "sys/class/tty/ttyS0/type=0\n" }
                << true << 1 << "/dev/ttyS0 后面没有串口芯片" << "ls -l /dev/serial/by-id/" << 1;
        QTest::newRow("on-board port with a UART")
                << "/dev/ttyS0" << QStringList{ "dev/ttyS0=", "sys/class/tty/ttyS0/device->/sys/devices/platform/serial8250",
                                                "sys/devices/platform/serial8250/driver->/sys/bus/platform/drivers/serial8250",
                                                "sys/class/tty/ttyS0/type=4\n" }
                << true << 1 << "/dev/ttyS0：主板串口" << "" << -1;
        QTest::newRow("flatpak") << usb << QStringList{ ".flatpak-info=[Application]\n" } << true << 1 << "flatpak 沙盒"
                                 << "flatpak override --user --device=all org.qt7020.qt7020" << 1;
    }

    void doctorNamesTheFault()
    {
        QFETCH(QString, device);
        QFETCH(QStringList, changes);
        QFETCH(bool, member);
        QFETCH(int, problems);
        QFETCH(QString, said);
        QFETCH(QString, remedy);
        QFETCH(int, status);
        QTemporaryDir root;
        const uint gid = QFileInfo(root.path()).groupId();   // and so of every file made in it
        // The rule this package installs, so that a CH340 left out of it is caught.
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("usr/lib/udev/rules.d"))
                && QFile::copy(QStringLiteral(QT7020_TEST_DATA "/../../app/70-qt7020-serial.rules"),
                               root.filePath(QStringLiteral("usr/lib/udev/rules.d/70-qt7020-serial.rules"))));
        const QStringList cable = { "dev/ttyUSB0=", "dev/serial/by-id/usb-1a86-port0->/dev/ttyUSB0", "sys/devices/usb1/1-1/idVendor=1a86\n",
                                    "sys/devices/usb1/1-1/idProduct=7523\n",
                                    "sys/devices/usb1/1-1/1-1:1.0/ttyUSB0/driver->/sys/bus/usb-serial/drivers/ch341",
                                    "sys/class/tty/ttyUSB0/device->/sys/devices/usb1/1-1/1-1:1.0/ttyUSB0",
                                    "sys/class/tty/ttyUSB0/dev=188:0\n", "run/udev/data/c188:0=G:uaccess\nE:ID_MM_DEVICE_IGNORE=1\n",
                                    "etc/group=dialout:x:%gid:bob\n" };
        const QString ppid = QString::number(::getppid());
        for (QString change : cable + changes) {
            change.replace(QLatin1String("%gid"), QString::number(gid)).replace(QLatin1String("%ppid"), ppid);
            const QString path = root.filePath(change.section(QRegularExpression(QStringLiteral("=|->")), 0, 0).remove(u'!'));
            QDir().mkpath(QFileInfo(path).path());
            QFile::remove(path);
            if (change.startsWith(u'!'))
                QDir(path).removeRecursively();
            else if (change.contains(QLatin1String("->")))
                QVERIFY(QFile::link(root.path() + change.section(QLatin1String("->"), 1), path));
            else if (QFile file(path); file.open(QIODevice::WriteOnly))
                file.write(change.section(u'=', 1).toUtf8());
        }
        QFile::setPermissions(root.filePath(QStringLiteral("dev/ttyUSB0")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
        said.replace(QLatin1String("%ppid"), ppid);
        remedy.replace(QLatin1String("%ppid"), ppid);
        const PortDoctor::Account alice{ 4242, member ? QList<uint>{ gid } : QList<uint>{}, QStringLiteral("alice") };
        const QList<PortFinding> findings = PortDoctor({ root.path() }, alice, QProcessEnvironment()).examine(device);
        const auto hit = std::find_if(findings.cbegin(), findings.cend(), [&](const PortFinding &f) { return f.text.contains(said); });
        QVERIFY2(hit != findings.cend(), qPrintable(findings.isEmpty() ? QString() : findings.last().text));
        QCOMPARE(hit->remedy, remedy);
        QCOMPARE(std::count_if(findings.cbegin(), findings.cend(), [](const PortFinding &f) { return f.isProblem(); }), problems);
        if (status < 0)
            return;
        QProcess doctor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT7020_SYSTEM_ROOT"), root.path());
        for (const char *sandbox : { "SNAP", "FLATPAK_ID" })
            environment.remove(QLatin1String(sandbox));
        doctor.setProcessEnvironment(environment);
        doctor.start(QStringLiteral(QT7020_BINARY), QStringList{ QStringLiteral("--doctor"), device }.filter(QRegularExpression(".")));
        QVERIFY(doctor.waitForFinished(10000));
        const QString output = QString::fromUtf8(doctor.readAllStandardOutput());
        QCOMPARE(doctor.exitCode(), status);
        QVERIFY2(output.contains(said) && (remedy.isEmpty() || output.contains(QStringLiteral("\n    ") + remedy)), qPrintable(output));
    }

    // The doctor opens a device as a load opens it: what --send refuses, it
    // names in the same words, and a pseudo-terminal's maker, or a program
    // that merely has /dev/null open, is no holder.
    void doctorAgreesWithTheLoad()
    {
        const OwnHome home;
        QTemporaryDir dir;
        const TestDatabase file(TestDatabase::numberedRows(3));
        Pty pty;
        const QString node = dir.filePath(QStringLiteral("ttyS9"));
        const bool madeNode = ::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0660, makedev(4, 127)) == 0;
        const struct { QString device; int send, doctor; QString cause; } devices[] = {
            { QStringLiteral("/dev/null"), 1, 1, QStringLiteral("/dev/null 不是串口设备。") },
            { dir.path(), 1, 1, QStringLiteral("%1 不是串口设备。").arg(dir.path()) },
            { node, 1, 1, QStringLiteral("没有这个串口设备（%1：").arg(node) },
            { pty.device(), 0, 0, QStringLiteral("没有发现问题。") },
            { dir.filePath(QStringLiteral("none")), 1, 2, QStringLiteral("不存在") },
        };
        for (const auto &d : devices) {
            if (d.device == node && !madeNode)
                continue;   // a device file takes root to make
            QProcess send, doctor;
            send.start(QStringLiteral(QT7020_BINARY), { "--send", d.device, "--force", "--db", file.path() });
            QVERIFY(send.waitForFinished(10000));
            doctor.start(QStringLiteral(QT7020_BINARY), { "--doctor", d.device });
            QVERIFY(doctor.waitForFinished(10000));
            const QString refused = QString::fromUtf8(send.readAllStandardError());
            const QString examined = QString::fromUtf8(doctor.readAllStandardOutput());
            QCOMPARE(std::pair(send.exitCode(), doctor.exitCode()), std::pair(d.send, d.doctor));
            QVERIFY2(examined.contains(d.cause) && !examined.contains(QStringLiteral("正被")), qPrintable(examined));
            QVERIFY2(d.send == 0 || refused.contains(d.cause), qPrintable(refused));
        }
    }

    // Another qt7020 sending on the device is named; ended by SIGTERM it
    // closes the port and Qt's lock file goes. So does a window's, which is
    // never deleted when a signal ends it.
    void lockGoesWhenASignalEndsTheProgram()
    {
        Pty pty;
        QTemporaryDir dir;
        const QString built = QCoreApplication::applicationDirPath();   // the program and its sample file
        QVERIFY(QFile::copy(built + QStringLiteral("/char4.mdb"), dir.filePath(QStringLiteral("char4.mdb"))));
        QProcess send;
        send.setWorkingDirectory(dir.path());
        send.start(built + QStringLiteral("/qt7020"),
                   { QStringLiteral("--send"), pty.device(), QStringLiteral("--force") });
        QCOMPARE(pty.read(32, 5000).size(), 32);   // two frames out
        const QString lock = QStringLiteral("/var/lock/LCK..pts_") + QFileInfo(pty.device()).fileName();
        QVERIFY(QFile::exists(lock));
        QtSerialLink second;
        second.setDevice(1, pty.device());
        QVERIFY(!second.open());
        QCOMPARE(second.openFailureCause(),
                 QStringLiteral("串口 %1 正被 qt7020（PID %2）使用。").arg(pty.device()).arg(send.processId()));
        send.terminate();
        QVERIFY(send.waitForFinished(5000) && send.exitStatus() == QProcess::NormalExit);
        QVERIFY(!QFile::exists(lock));

        QVERIFY(second.open() && QFile::exists(lock));
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        QVERIFY(!QFile::exists(lock));
    }
};

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"
