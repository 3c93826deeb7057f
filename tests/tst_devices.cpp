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

// The on-board port nobody chose, as on a fresh PC.
struct OnBoardLink : FakeSerialLink
{
    QString deviceName() const override { return QStringLiteral("/dev/ttyS%1").arg(portNumber() - 1); }
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

    void transferToTheOnBoardPortAsksOnce()
    {
        const OwnHome home;
        TestDatabase file{ TestDatabase::numberedRows(60) };
        auto *port = new OnBoardLink;
        MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
        auto list = std::make_unique<FakePortList>();
        list->entries = { { QStringLiteral("/dev/ttyUSB0"), {}, {}, QStringLiteral("067b:2303"), {} } };
        window.setPortList(std::move(list));
        window.load();
        MessageBoxes boxes(QMessageBox::No);
        QAction *send = menuItem(&window, "传送");
        send->trigger();
        QTRY_COMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.texts().first().contains(QStringLiteral("/dev/ttyS0")));
        QVERIFY(!window.transfer()->isRunning());
        QTRY_VERIFY(window.findChild<DeviceDialog *>());   // "no": to 串口设备…
        window.findChild<DeviceDialog *>()->reject();
        send->trigger();
        QVERIFY(window.transfer()->isRunning());
        QCOMPARE(boxes.seen.size(), 1);   // asked once
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
