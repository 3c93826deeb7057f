#include "FakePortList.h"
#include "Pty.h"

#include "DeviceState.h"
#include "Loopback.h"
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
        QVERIFY(null.cause.contains(QStringLiteral("不是串行设备")));
        QtSerialLink send;   // as --send /dev/null does
        send.setDevice(1, QStringLiteral("/dev/null"));
        QVERIFY(!send.open());
        QCOMPARE(send.openFailureCause(), null.cause);

        Pty pty;
        QCOMPARE(DeviceState::probe(pty.device()).kind, DeviceState::Opens);   // this test's own hold does not count
        QProcess holder;
        holder.start(QStringLiteral("/bin/sh"), { "-c", QStringLiteral("exec sleep 30 <>%1").arg(pty.device()) });
        QVERIFY(holder.waitForStarted());
        QTRY_COMPARE(DeviceState::probe(pty.device()).kind, DeviceState::InUse);
        QCOMPARE(DeviceState::probe(pty.device()).cause,
                 QStringLiteral("串行端口 %1 正被 sleep（PID %2）使用。").arg(pty.device()).arg(holder.processId()));
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
        QTest::qWait(PortFinder::pollMs * 2);
        QVERIFY(found.isEmpty());                  // a cable already there is no answer
        const PortEntry cable = list.entries.takeLast();
        QTest::qWait(PortFinder::pollMs * 2);
        list.entries.append(cable);                // pulled and put back
        QTRY_COMPARE(found.size(), 1);
        QCOMPARE(found.first().first().value<PortEntry>().path, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(!finder.isRunning());

        QSignalSpy gaveUp(&finder, &PortFinder::gaveUp);
        finder.start(PortFinder::pollMs * 3);
        finder.stop();   // the dialog closed: no word comes after it
        QTest::qWait(PortFinder::pollMs * 4);
        QVERIFY(gaveUp.isEmpty());
        finder.start(PortFinder::pollMs * 3);
        QTRY_COMPARE(gaveUp.size(), 1);
        QVERIFY(found.size() == 1 && !finder.isRunning());
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
                 QStringLiteral("设备 /dev/qt7020-no-such-device 不存在。请在“系统设置 → 串口设备…”中为 COM1 "
                                "选择设备（或用环境变量 QT7020_COM1 指定）。"));
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
        const bool locked = flock
                || (lock.open(QIODevice::WriteOnly) && lock.write(QByteArray::number(child) + '\n') > 0);
        lock.close();
        QtSerialLink link;
        link.setDevice(1, pty.device());
        const bool opened = link.open();
        const bool kept = lock.exists();
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        QVERIFY(started && locked && !opened);
        QCOMPARE(link.openFailureCause(), QStringLiteral("串行端口 %1 正被 holder（PID %2）使用。").arg(pty.device()).arg(child));
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
        QVERIFY2(QRegularExpression(QStringLiteral("^没有这个串口设备（%1：.*选择 USB 数据线").arg(node))
                         .match(link.openFailureCause()).hasMatch(), qPrintable(link.openFailureCause()));
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
                 QStringLiteral("串行端口 %1 正被 qt7020（PID %2）使用。").arg(pty.device()).arg(send.processId()));
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
