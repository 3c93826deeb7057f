#include "Pty.h"

#include "QtSerialLink.h"
#include "ChannelFrame.h"

#include <QSignalSpy>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <QtTest>

class TestSerialLink : public QObject
{
    Q_OBJECT
private slots:
    void openingAppliesTheLineSettings();
    void openingFailsWhenMissingOrBusy();
    void permissionDeniedNamesTheGroup();
    void writesGoOutUnchangedAndWholeOnClose();
};

void TestSerialLink::openingAppliesTheLineSettings()
{
    Pty pty;
    qputenv("QT7020_COM1", pty.device().toLocal8Bit());
    QtSerialLink link;
    QVERIFY2(link.open(), qPrintable(link.errorString()));
    QVERIFY(link.isOpen());
    QVERIFY(!link.setPortNumber(2));   // not while open
    termios t;
    QCOMPARE(::tcgetattr(pty.slave(), &t), 0);
    QCOMPARE(::cfgetospeed(&t), speed_t(B1200));
    QCOMPARE(::cfgetispeed(&t), speed_t(B1200));
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(t.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF | IXANY), tcflag_t(0));
    QCOMPARE(t.c_oflag & OPOST, tcflag_t(0));   // nothing added to the bytes
    link.close();
    link.close();   // closing a closed port is no failure
    QVERIFY(!link.isOpen());
    QVERIFY(!link.setPortNumber(3) && !link.setPortNumber(0) && link.setPortNumber(2));
}

void TestSerialLink::openingFailsWhenMissingOrBusy()
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

    Pty pty;
    qputenv("QT7020_COM1", pty.device().toLocal8Bit());
    QtSerialLink first;
    QtSerialLink second;
    QVERIFY(first.open());
    QVERIFY(!second.open());
    QVERIFY(!second.isOpen());
    QCOMPARE(second.openFailureCause(), QString());   // in use says no more than that
    first.close();
    QTRY_VERIFY(second.open());
}

void TestSerialLink::permissionDeniedNamesTheGroup()
{
    if (::geteuid() != 0)
        QSKIP("needs root to become another user");
    Pty pty;
    ::fchmod(pty.slave(), 0660);
    ::fchown(pty.slave(), 0, 5);   // group tty on Debian
    int answer[2];
    QCOMPARE(::pipe(answer), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(answer[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        qputenv("QT7020_COM1", pty.device().toLocal8Bit());
        QtSerialLink link;
        const QByteArray cause = link.open() ? QByteArray("opened") : link.openFailureCause().toUtf8();
        ::write(answer[1], cause.constData(), size_t(cause.size()));
        ::_exit(0);
    }
    ::close(answer[1]);
    QByteArray cause(1024, '\0');
    const ssize_t n = ::read(answer[0], cause.data(), size_t(cause.size()));
    cause.truncate(int(qMax<ssize_t>(0, n)));
    ::close(answer[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    QCOMPARE(WEXITSTATUS(status), 0);
    const QString group = QString::fromLocal8Bit(::getgrgid(5) ? ::getgrgid(5)->gr_name : "5");
    QCOMPARE(QString::fromUtf8(cause),
             QStringLiteral("没有权限打开 %1：当前用户需要加入 %2 组（sudo adduser $USER %2，然后重新登录）。")
                     .arg(pty.device(), group));
}

void TestSerialLink::writesGoOutUnchangedAndWholeOnClose()
{
    Pty pty;
    qputenv("QT7020_COM1", pty.device().toLocal8Bit());
    QtSerialLink link;
    QVERIFY(link.open());
    QByteArray sent;
    for (int i = 0; i < 20; ++i) {
        const QByteArray frame = ChannelFrame::encode(i + 1, 438.5, 438.5).text().toLatin1();
        QVERIFY(link.write(frame));
        sent += frame;
    }
    // Closed straight after writing: every queued frame still arrives, whole.
    link.close();
    QVERIFY(!link.write("0000000000000000"));
    QCOMPARE(pty.read(sent.size() + 1, 1500), sent);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
