#include "Fixtures.h"
#include "FakePortList.h"

#include "MainWindow.h"
#include "PortDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

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

// The main window loaded on a fake port, which then starts on `number`.
struct Rig
{
    explicit Rig(int number = 1)
    {
        window->load();
        if (number != 1) {
            port->close();
            port->setPortNumber(number);
            port->open();
        }
        port->calls.clear();
    }
    ~Rig() { delete window.data(); }
    PortDialog *open()
    {
        menuItem(window, "端口")->trigger();
        return window->portDialog();
    }
    // OK on `number`; true when the dialog closed.
    bool ok(int number)
    {
        PortDialog *dialog = open();
        choose(dialog, number);
        click(dialog, "OKButton");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !window->portDialog();
    }

    TestDatabase file{ TestDatabase::numberedRows(60) };
    FakeSerialLink *port = new FakeSerialLink;
    QPointer<MainWindow> window = new MainWindow(std::unique_ptr<SerialLink>(port), file.path());
    MessageBoxes boxes;
};

class TestPortDialog : public QObject
{
    Q_OBJECT
private slots:
    void opensModelessOnTheCurrentPortOnce()
    {
        for (int number : { 1, 2 }) {
            Rig rig(number);
            PortDialog *dialog = rig.open();
            QVERIFY(!dialog->parentWidget() && !dialog->isModal());
            QVERIFY(checked(dialog, number) && !checked(dialog, 3 - number));
            QVERIFY(rig.port->calls.isEmpty());   // opening only reads the port number
            choose(dialog, 3 - number);
            QCOMPARE(rig.open(), dialog);         // the same dialog, not loaded again
            QVERIFY(checked(dialog, 3 - number));
            QTest::keyClick(dialog, Qt::Key_Escape);
            QVERIFY(rig.window->portDialog());    // Escape is no way out
            QPointer<PortDialog> left = dialog;
            rig.window->close();                  // the dialog goes with the main window
            QTRY_VERIFY(!left);
        }
    }

    // Which of COM1 and COM2 is the cable is written beside each, inside the dialog.
    void hintsNameTheDevices()
    {
        QTemporaryFile cable;
        QVERIFY(cable.open());
        const QByteArray saved1 = qgetenv("QT7020_COM1"), saved2 = qgetenv("QT7020_COM2");
        const auto restore = qScopeGuard([&] {
            qputenv("QT7020_COM1", saved1);
            qputenv("QT7020_COM2", saved2);
        });
        qputenv("QT7020_COM1", cable.fileName().toUtf8());
        qputenv("QT7020_COM2", "/dev/qt7020-no-such-port");
        Rig rig;
        auto devices = std::make_unique<FakePortList>();
        devices->entries = { { cable.fileName(), QStringLiteral("USB Serial"), {}, QStringLiteral("1a86:7523"), {} } };
        rig.window->setPortList(std::move(devices));
        PortDialog *dialog = rig.open();
        const QStringList expected = { QStringLiteral("USB 数据线 1a86:7523"), QStringLiteral("没有这个设备") };
        for (int number : { 1, 2 }) {
            auto *hint = dialog->findChild<QLabel *>(QStringLiteral("hint%1").arg(number));
            QCOMPARE(hint->text(), expected.at(number - 1));
            QVERIFY(dialog->rect().contains(hint->geometry()));
        }
    }

    void okBranches()
    {
        const QString busy1 = systemWarning(QStringLiteral("串行端口 1 已被使用 "));
        const QString busy2 = systemWarning(QStringLiteral("串行端口 2 已被使用， "));
        {
            Rig rig;   // the current, open port: left alone
            QVERIFY(rig.ok(1));
            QVERIFY(rig.port->calls.isEmpty() && rig.port->isOpen());
        }
        {
            Rig rig;   // the current port closed after a failed opening: tried again
            rig.port->close();
            rig.port->busy = { 1 };
            QVERIFY(!rig.ok(1));
            QCOMPARE(rig.boxes.seen, QStringList(busy1));
            rig.port->busy.clear();
            QVERIFY(rig.ok(1));
            QVERIFY(rig.port->isOpen());
        }
        {
            Rig rig;   // a free port
            QVERIFY(rig.ok(2));
            QCOMPARE(rig.port->calls, QStringList({ "close", "number 2", "open 2" }));
            QVERIFY(rig.port->isOpen());
            QVERIFY(rig.boxes.seen.isEmpty());
            QVERIFY(checked(rig.open(), 2));
        }
        {
            Rig rig;   // a busy port: the dialog stays, the port is closed under the new number
            rig.port->busy = { 2 };
            QVERIFY(!rig.ok(2));
            QCOMPARE(rig.boxes.seen, QStringList(busy2));
            QVERIFY(checked(rig.window->portDialog(), 2));
            QVERIFY(!rig.port->isOpen());
            QCOMPARE(rig.port->portNumber(), 2);
            QVERIFY(!rig.ok(2));   // again: tried again, and said again
            QCOMPARE(rig.boxes.seen, QStringList({ busy2, busy2 }));
            rig.port->busy = { 1 };
            rig.port->cause = QStringLiteral("设备 /dev/fake1 不存在");
            QVERIFY(!rig.ok(1));
            QCOMPARE(rig.boxes.texts().last(), QStringLiteral("串行端口 1 已被使用 \n设备 /dev/fake1 不存在"));
            QCOMPARE(rig.port->portNumber(), 1);
        }
    }

    // Every way out but OK leaves the port alone. No button is the default, so
    // Enter presses only the focused button and means nothing off the buttons.
    void waysOutOfTheDialog()
    {
        Rig rig;
        for (const char *way : { "close", "CancelButton", "Option2", "OKButton" }) {
            PortDialog *dialog = rig.open();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            choose(dialog, 2);
            const bool ok = qstrcmp(way, "OKButton") == 0;
            if (qstrcmp(way, "close") == 0) {
                dialog->close();
            } else {
                auto *focus = dialog->findChild<QWidget *>(QString::fromLatin1(way));
                focus->setFocus();
                QTest::keyClick(focus, Qt::Key_Return);
            }
            for (auto *button : dialog->findChildren<QPushButton *>())
                QVERIFY(!button->isDefault());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (qstrcmp(way, "Option2") == 0) {
                QVERIFY(rig.window->portDialog());
                click(dialog, "CancelButton");
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            QVERIFY(!rig.window->portDialog());
            QCOMPARE(rig.port->calls.isEmpty(), !ok);
            QCOMPARE(rig.port->portNumber(), ok ? 2 : 1);
            QVERIFY(rig.port->isOpen());
        }
    }
};

QTEST_MAIN(TestPortDialog)
#include "tst_portdialog.moc"
