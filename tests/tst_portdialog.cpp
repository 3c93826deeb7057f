#include "FakeSerialLink.h"
#include "MessageBoxes.h"
#include "Pty.h"
#include "TestDatabase.h"

#include "app/MainWindow.h"
#include "serial/PortDialog.h"
#include "serial/QtSerialLink.h"
#include "transfer/ChannelFrame.h"
#include "transfer/TransferSequence.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The main window with a fake port, loaded, and its port dialog opened.
struct Rig
{
    explicit Rig(QSet<int> busy = {})
    {
        port->busy = busy;
        window->load();
        port->calls.clear();
    }
    ~Rig() { delete window.data(); }

    PortDialog *open()
    {
        window->findChild<QAction *>(QStringLiteral("端口"))->trigger();
        return window->portDialog();
    }
    static void choose(PortDialog *dialog, int number)
    {
        dialog->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(number))->setChecked(true);
    }
    static bool checked(PortDialog *dialog, int number)
    {
        return dialog->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(number))->isChecked();
    }
    static void click(PortDialog *dialog, const char *button)
    {
        dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }

    TestDatabase file{ TestDatabase::numberedRows(60) };
    FakeSerialLink *port = new FakeSerialLink;
    QPointer<MainWindow> window = new MainWindow(port, file.path());
    MessageBoxes boxes;
};

class TestPortDialog : public QObject
{
    Q_OBJECT
private slots:
    void design();
    void opensOnTheCurrentPortOnce();
    void okWithTheCurrentPort();
    void okSwitchesToAFreePort();
    void okWithABusyPortKeepsTheDialogOpen();
    void cancelLeavesThePortAlone();
    void closingTheMainWindowClosesTheDialog();
    void busyCom1ThenTransferOnCom2();
};

void TestPortDialog::design()
{
    Rig rig;
    PortDialog *dialog = rig.open();
    QCOMPARE(dialog->objectName(), QStringLiteral("Dialog"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("选择端口"));
    QVERIFY(!dialog->parentWidget());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(dialog->findChild<QRadioButton *>(QStringLiteral("Option1"))->text(), QStringLiteral(" COM1"));
    QCOMPARE(dialog->findChild<QRadioButton *>(QStringLiteral("Option2"))->text(), QStringLiteral(" COM2"));
    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("OKButton"));
    auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("CancelButton"));
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QCOMPARE(cancel->text(), QStringLiteral("取消"));
    QVERIFY(!ok->isDefault() && !ok->autoDefault() && !cancel->isDefault() && !cancel->autoDefault());
    QCOMPARE(ok->nextInFocusChain(), cancel);
    // Escape is no way out of this dialog.
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(rig.window->portDialog());
    QVERIFY(dialog->isVisible());
}

void TestPortDialog::opensOnTheCurrentPortOnce()
{
    Rig rig;
    PortDialog *dialog = rig.open();
    QVERIFY(Rig::checked(dialog, 1) && !Rig::checked(dialog, 2));
    QVERIFY(rig.port->calls.isEmpty());   // opening only reads the port number
    Rig::choose(dialog, 2);
    QCOMPARE(rig.open(), dialog);   // the same dialog, not loaded again
    QVERIFY(Rig::checked(dialog, 2));
    Rig::click(dialog, "CancelButton");
    QTRY_VERIFY(!rig.window->portDialog());

    rig.port->close();
    rig.port->setPortNumber(2);
    rig.port->open();
    dialog = rig.open();
    QVERIFY(!Rig::checked(dialog, 1) && Rig::checked(dialog, 2));
}

void TestPortDialog::okWithTheCurrentPort()
{
    Rig rig;
    Rig::click(rig.open(), "OKButton");
    QTRY_VERIFY(!rig.window->portDialog());
    QVERIFY(rig.port->calls.isEmpty());   // the open port is left alone
    QVERIFY(rig.port->isOpen());

    // After a failed opening, confirming the port tries it again.
    rig.port->close();
    rig.port->busy = { 1 };
    PortDialog *dialog = rig.open();
    Rig::click(dialog, "OKButton");
    QCOMPARE(rig.boxes.seen, QStringList(systemWarning(QStringLiteral("串行端口 1 已被使用 "))));
    QVERIFY(rig.window->portDialog());
    QVERIFY(Rig::checked(dialog, 1));
    rig.port->busy.clear();
    Rig::click(dialog, "OKButton");
    QTRY_VERIFY(!rig.window->portDialog());
    QVERIFY(rig.port->isOpen());
    QCOMPARE(rig.port->portNumber(), 1);
}

void TestPortDialog::okSwitchesToAFreePort()
{
    Rig rig;
    PortDialog *dialog = rig.open();
    Rig::choose(dialog, 2);
    Rig::click(dialog, "OKButton");
    QTRY_VERIFY(!rig.window->portDialog());
    QCOMPARE(rig.port->calls, QStringList({ QStringLiteral("close"), QStringLiteral("number 2"),
                                            QStringLiteral("open 2") }));
    QVERIFY(rig.port->isOpen());
    QVERIFY(rig.boxes.seen.isEmpty());
    QVERIFY(Rig::checked(rig.open(), 2));
}

void TestPortDialog::okWithABusyPortKeepsTheDialogOpen()
{
    Rig rig({ 2 });
    PortDialog *dialog = rig.open();
    Rig::choose(dialog, 2);
    Rig::click(dialog, "OKButton");
    QCOMPARE(rig.boxes.seen, QStringList(systemWarning(QStringLiteral("串行端口 2 已被使用， "))));
    QCOMPARE(rig.window->portDialog(), dialog);
    QVERIFY(Rig::checked(dialog, 2));
    QVERIFY(!rig.port->isOpen());
    QCOMPARE(rig.port->portNumber(), 2);

    // OK again tries COM2 again, and says so when it is still busy.
    Rig::click(dialog, "OKButton");
    QCOMPARE(rig.boxes.seen.size(), 2);
    QVERIFY(!rig.port->isOpen());

    // Back to COM1, which is free.
    Rig::choose(dialog, 1);
    Rig::click(dialog, "OKButton");
    QTRY_VERIFY(!rig.window->portDialog());
    QVERIFY(rig.port->isOpen());
    QCOMPARE(rig.port->portNumber(), 1);

    // COM1 busy, chosen from COM2: the COM1 message.
    rig.port->close();
    rig.port->setPortNumber(2);
    rig.port->busy = { 1 };
    rig.port->open();
    dialog = rig.open();
    Rig::choose(dialog, 1);
    Rig::click(dialog, "OKButton");
    QCOMPARE(rig.boxes.texts().last(), QStringLiteral("串行端口 1 已被使用 "));
    QCOMPARE(rig.port->portNumber(), 1);
    QVERIFY(!rig.port->isOpen());
}

void TestPortDialog::cancelLeavesThePortAlone()
{
    Rig rig;
    PortDialog *dialog = rig.open();
    Rig::choose(dialog, 2);
    Rig::click(dialog, "CancelButton");
    QTRY_VERIFY(!rig.window->portDialog());
    dialog = rig.open();
    Rig::choose(dialog, 2);
    dialog->close();   // the close box
    QTRY_VERIFY(!rig.window->portDialog());
    QVERIFY(rig.port->calls.isEmpty());
    QVERIFY(rig.port->isOpen());
    QCOMPARE(rig.port->portNumber(), 1);
}

void TestPortDialog::closingTheMainWindowClosesTheDialog()
{
    Rig rig;
    QPointer<PortDialog> dialog = rig.open();
    rig.window->close();
    QTRY_VERIFY(!rig.window);
    QTRY_VERIFY(!dialog);
}

void TestPortDialog::busyCom1ThenTransferOnCom2()
{
    Pty com1;
    Pty com2;
    qputenv("QT7020_COM1", com1.device().toLocal8Bit());
    qputenv("QT7020_COM2", com2.device().toLocal8Bit());
    QtSerialLink otherProgram;
    QVERIFY(otherProgram.open());

    TestDatabase file(TestDatabase::numberedRows(60));
    QPointer<MainWindow> window = new MainWindow(new QtSerialLink, file.path());
    MessageBoxes boxes;
    window->load();
    QCOMPARE(boxes.texts(), QStringList(MainWindow::port1InUse));

    window->findChild<QAction *>(QStringLiteral("端口"))->trigger();
    Rig::choose(window->portDialog(), 2);
    Rig::click(window->portDialog(), "OKButton");
    QTRY_VERIFY(!window->portDialog());

    QSignalSpy finished(window->transfer(), &TransferSequence::finished);
    window->findChild<QAction *>(QStringLiteral("传送"))->trigger();
    const QByteArray received = com2.read(816, 10000);
    QVERIFY(finished.wait(3000));
    QCOMPARE(boxes.seen.size(), 1);
    QByteArray expected;
    for (const QVariantList &row : TestDatabase::numberedRows(51))
        expected += ChannelFrame::encode(row[1], row[2], row[3]).text().toLatin1();
    QCOMPARE(received, expected);
    QCOMPARE(com1.read(1, 50), QByteArray());
    delete window.data();
}

QTEST_MAIN(TestPortDialog)
#include "tst_portdialog.moc"
