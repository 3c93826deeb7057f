#include "Fixtures.h"
#include "Pty.h"

#include "DeviceDialog.h"
#include "MainWindow.h"
#include "TransferController.h"
#include "PortDoctorDialog.h"
#include "PortMapping.h"
#include "QtSerialLink.h"
#include "TransferSequence.h"

#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// The on-board port nobody chose, as on a fresh PC, until the choice is saved.
struct OnBoardLink : FakeSerialLink
{
    QString deviceName() const override { return PortMapping::deviceFor(portNumber()); }
};

// How wide a column's texts want to be, which QTreeView keeps to itself.
struct ContentWidth : QTreeWidget
{
    static int of(const QTreeWidget *tree, int column) { return (tree->*(&ContentWidth::sizeHintForColumn))(column); }
};

class TestDevices : public QObject
{
    Q_OBJECT
private slots:
    void okSavesAndReopensCancelChangesNothing()
    {
        const OwnHome home;
        Pty before;
        Pty after;
        PortMapping::save(1, before.device());
        QtSerialLink link;
        QVERIFY(link.open());
        FakePortList list;
        const PortEntry cable{ after.device(), QStringLiteral("USB2.0-Serial 写频线（电台编程电缆）"),
                               QStringLiteral("QinHeng Electronics"), QStringLiteral("1a86:7523"),
                               QStringLiteral("A9XY0123456789-0001") };

        for (const bool ok : { false, true }) {
            list.entries.clear();
            auto *dialog = new DeviceDialog(&link, &list);
            dialog->show();
            QCOMPARE(dialog->deviceBox(1)->currentText(), before.device());
            QCOMPARE(dialog->foundList()->topLevelItemCount(), 0);
            // 查找数据线…, under the list, asks for the cable and picks it once it is plugged in.
            auto *find = dialog->findChild<QPushButton *>(QStringLiteral("find"));
            QVERIFY(find->y() > dialog->foundList()->geometry().bottom());
            find->click();
            const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
            QVERIFY(std::any_of(labels.begin(), labels.end(),
                                [](const QLabel *label) { return label->text() == QStringLiteral("拔下数据线，再插上……"); }));
            list.entries = { cable };
            QTRY_VERIFY(dialog->foundList()->currentItem());
            // No text cut short, none beyond the list's edge.
            QTreeWidget *found = dialog->foundList();
            for (int column = 0; column < found->columnCount(); ++column)
                QVERIFY(found->columnWidth(column) >= ContentWidth::of(found, column));
            QTRY_VERIFY(found->header()->length() <= found->viewport()->width());
            dialog->findChild<QPushButton *>(QStringLiteral("assign1"))->click();
            QCOMPARE(dialog->deviceBox(1)->currentText(), after.device());
            ok ? dialog->accept() : dialog->reject();
            QVERIFY(dialog->isHidden());
            QCOMPARE(PortMapping::saved(1), ok ? after.device() : before.device());
            QCOMPARE(link.deviceName(), ok ? after.device() : before.device());
            QVERIFY(link.isOpen());
        }
        QVERIFY(link.write("0123456789ABCDEF"));
        QCOMPARE(after.read(16), QByteArray("0123456789ABCDEF"));
    }

    // One cable in: it is offered, and taking it makes it COM1 for good and
    // sends through it. With two, the question leads to 串口设备…. Asked once.
    void transferToTheOnBoardPortAsksOnce()
    {
        const struct { int cables; const char *answer; bool sends; const char *com1; } cases[] = {
            { 1, "改用 USB 数据线 /dev/ttyUSB0", true, "/dev/ttyUSB0" },
            { 1, "仍向 /dev/ttyS0 传送", true, "" },
            { 1, "串口设备…", false, "" },
            { 2, nullptr, false, "" },   // No: 串口设备…
        };
        for (const auto &c : cases) {
            const OwnHome home;
            TestDatabase file{ TestDatabase::numberedRows(60) };
            auto *port = new OnBoardLink;
            MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
            auto list = std::make_unique<FakePortList>();
            for (int i = 0; i < c.cables; ++i)
                list->entries << PortEntry{ QStringLiteral("/dev/ttyUSB%1").arg(i), {}, {}, QStringLiteral("067b:2303"), {} };
            window.setPortList(std::move(list));
            window.load();
            MessageBoxes boxes(QMessageBox::No);
            boxes.answerText = QString::fromUtf8(c.answer);
            QAction *send = menuItem(&window, "传送");
            send->trigger();
            QTRY_COMPARE(boxes.seen.size(), 1);
            QVERIFY(boxes.texts().first().startsWith(QStringLiteral("COM1 现在是主板上的串口 /dev/ttyS0")));
            if (c.cables == 1)
                QCOMPARE(boxes.buttons.first(), QStringLiteral("改用 USB 数据线 /dev/ttyUSB0/仍向 /dev/ttyS0 传送/串口设备…"));
            QCOMPARE(window.transfer()->isRunning(), c.sends);
            QCOMPARE(PortMapping::saved(1), QString::fromUtf8(c.com1));
            QCOMPARE(port->deviceName(), c.com1[0] ? QString::fromUtf8(c.com1) : QStringLiteral("/dev/ttyS0"));
            if (!c.sends) {
                QTRY_VERIFY(window.findChild<DeviceDialog *>());
                window.findChild<DeviceDialog *>()->reject();
                send->trigger();
                QVERIFY(window.transfer()->isRunning());
            }
            QCOMPARE(boxes.seen.size(), 1);
        }
    }

    // 串口诊断… from the menu; in it, a brltty started meanwhile shows after
    // 重新检查, its command one press from the clipboard.
    void doctorDialogLooksAgain()
    {
        const OwnHome home;
        TestDatabase file{ TestDatabase::numberedRows(3) };
        MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
        menuItem(&window, "串口诊断")->trigger();
        QTRY_VERIFY(window.findChild<PortDoctorDialog *>());
        QTemporaryDir root;
        for (const char *folder : { "dev", "sys/class/tty/ttyUSB0", "proc/812" })
            QVERIFY(QDir(root.path()).mkpath(QLatin1String(folder)));
        QFile node(root.filePath(QStringLiteral("dev/ttyUSB0"))), comm(root.filePath(QStringLiteral("proc/812/comm")));
        QVERIFY(node.open(QIODevice::WriteOnly));
        PortDoctorDialog dialog(QString(), { root.path() });
        QCOMPARE(dialog.summaryLabel()->text(), QStringLiteral("没有发现问题。"));
        QCOMPARE(dialog.deviceBox()->itemText(dialog.deviceBox()->count() - 1), QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(comm.open(QIODevice::WriteOnly) && comm.write("brltty\n"));
        comm.close();
        dialog.findChild<QPushButton *>(QStringLiteral("重新检查"))->click();
        QCOMPARE(dialog.summaryLabel()->text(), QStringLiteral("发现 1 个问题。"));
        QLineEdit *command = dialog.findChild<QLineEdit *>(QStringLiteral("命令"));
        QCOMPARE(command ? command->text() : QString(), QStringLiteral("sudo apt remove brltty"));
        command->parentWidget()->findChild<QPushButton *>()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), command->text());
    }
};

QTEST_MAIN(TestDevices)
#include "tst_devices.moc"
