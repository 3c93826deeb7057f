#include "Fixtures.h"
#include "Plans.h"
#include "Pty.h"
#include "FakePortList.h"

#include "BandDialog.h"
#include "BandProfiles.h"
#include "ChannelCursor.h"
#include "Channels.h"
#include "ChannelFileKind.h"
#include "ChannelGrid.h"
#include "DesignColours.h"
#include "DesignFonts.h"
#include "FileMenu.h"
#include "FleetDialog.h"
#include "FleetRun.h"
#include "JournalReading.h"
#include "ListMessage.h"
#include "MainWindow.h"
#include "PlanCheckDialog.h"
#include "PortDialog.h"
#include "QtSerialLink.h"
#include "QtTranslations.h"
#include "TransferController.h"
#include "TransferJournal.h"
#include "TransferQuestions.h"
#include "TransferSequence.h"
#include "Tsv.h"
#include "Twips.h"
#include "UnsavedEdits.h"
#include "GridStretch.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTextDocumentFragment>
#include <QTextBrowser>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <cstdio>

// The window over a 60-row file and a fake port, loaded, in a home of its own:
// where a fleet run starts.
struct FleetRig
{
    FleetRig() { window.load(); }
    const OwnHome home;
    TestDatabase file{ TestDatabase::numberedRows(60) };
    FakeSerialLink *port = new FakeSerialLink;   // the window's
    MainWindow window{ std::unique_ptr<SerialLink>(port), file.path() };
};

// 连续传送… from the menu, its dialog once it has the keys.
static FleetDialog *openFleet(MainWindow &window)
{
    menuItem(&window, "连续传送")->trigger();
    auto *dialog = window.findChild<FleetDialog *>();
    return dialog && QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
}

// The grid in a window of its own, with the keyboard.
static bool showActive(QWidget &grid)
{
    grid.show();
    grid.activateWindow();
    return QTest::qWaitForWindowActive(&grid);
}

static QList<int> selectedRows(const ChannelCursor &cursor)
{
    QList<int> selected;
    for (const QModelIndex &index : cursor.selectedRows())
        selected << index.row();
    std::sort(selected.begin(), selected.end());
    return selected;
}

// A key to the grid, and the record numbers of the rows it leaves.
static QString pressed(GridRig &rig, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(&rig.grid, key, modifiers);
    QStringList numbers;
    for (int r = 0; r < rig.store.rowCount(); ++r)
        numbers << rig.store.index(r, 0).data().toString();
    return numbers.join(u' ');
}

// Ticks by hand: the timer stays active (so the sequence runs) but never fires.
static void ticks(MainWindow &window, int n)
{
    TransferRig::tick(window.transfer(), n);
}

static TransferSequence *sequence(MainWindow &window)
{
    return TransferRig::sequenceOf(window.transfer());
}

static const QString otherRemark = QStringLiteral("UPDATE 信道表 SET 备注 = '他人' WHERE rowid = 2");

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    // 编辑 → 显示 → 表格随窗口放大 lets the grid grow with the window, and the
    // designed layout is back when it is turned off; the column widths the
    // operator drags are each plan file's own.
    void gridViewAsTheOperatorLeftIt()
    {
        OwnHome home;
        TestDatabase first(TestDatabase::numberedRows(3)), second(TestDatabase::numberedRows(2));
        MainWindow window(std::make_unique<FakeSerialLink>(), first.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        const QRect designed = grid->geometry();
        const QSize size = window.size();
        menuItem(&window, "stretchGrid")->trigger();
        QVERIFY(QSettings().value(GridStretch::stretchKey()).toBool());
        window.resize(size + QSize(200, 100));
        QTRY_COMPARE(grid->geometry(), designed.adjusted(0, 0, 200, 100));
        // 备注 takes the spare width; the bar and the rule under it go across the window.
        const auto spread = [&] {
            return QList<int>({ grid->horizontalHeader()->sectionViewportPosition(4) + grid->columnWidth(4),
                                window.findChild<QFrame *>(QStringLiteral("Line1"))->width(), window.menuBar()->width() });
        };
        QTRY_COMPARE(spread(), QList<int>({ grid->viewport()->width(), window.width(), window.width() }));
        const int remark = grid->columnWidth(4);
        menuItem(&window, "stretchGrid")->trigger();
        QCOMPARE(grid->geometry(), designed);
        QTRY_COMPARE(window.size(), size);
        QVERIFY(grid->columnWidth(4) < remark);
        QCOMPARE(window.findChild<QFrame *>(QStringLiteral("Line1"))->width(), window.width());

        QHeaderView *header = grid->horizontalHeader();
        const int width = grid->columnWidth(1), edge = header->sectionViewportPosition(1) + width - 1;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
        QTest::mouseMove(header->viewport(), QPoint(edge + 40, 5));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, 5));
        QCOMPARE(grid->columnWidth(1), width + 40);
        FileMenu *files = window.findChild<FileMenu *>();
        emit files->openRequested(second.path());
        QTRY_COMPARE(grid->columnWidth(1), width);
        emit files->openRequested(first.path());
        QTRY_COMPARE(grid->columnWidth(1), width + 40);
    }

    void designAndMenu()
    {
        QCOMPARE(QList<int>({ Twips::toPixels(11880, 96), Twips::toPixels(7860, 96), Twips::toPixels(11880, 120) }),
                 QList<int>({ 792, 524, 990 }));
        QVector<QVariantList> rows = TestDatabase::numberedRows(3);
        rows[1][2] = 99.5;
        TestDatabase file(rows);
        MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
        const QAbstractItemModel *shown = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model();
        QVERIFY(shown->index(1, 2).data(Qt::BackgroundRole).isValid());   // the window checks its rows
        QVERIFY(!shown->index(0, 2).data(Qt::BackgroundRole).isValid());
        const int dpi = window.logicalDpiX();
        QCOMPARE(window.centralWidget()->size(), QSize(Twips::toPixels(11880, dpi), Twips::toPixels(7860, dpi)));
        // The designed places, in pixels at 96 dpi (15 twips each): the date's
        // label within its frame, the rest within the window.
        QCOMPARE(dpi, 96);
        const struct { const char *name; QRect place; } controls[] = {
            { "Frame2", { 40, 40, 145, 49 } },     { "Label8", { 16, 24, 113, 17 } },
            { "Label1", { 280, 48, 249, 57 } },    { "Label3", { 344, 96, 113, 25 } },
            { "Label2", { 536, 48, 241, 25 } },    { "ProgressBar1", { 552, 96, 217, 17 } },
            { "DataGrid1", { 168, 160, 513, 337 } },
        };
        for (const auto &c : controls)
            QCOMPARE(window.findChild<QWidget *>(QString::fromLatin1(c.name))->geometry(), c.place);
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        for (QWidget *w : window.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == grid);   // only the grid takes the focus

        QStringList bar;
        for (QAction *a : window.menuBar()->actions())
            bar << a->objectName() + u'=' + a->text();
        QCOMPARE(bar, QStringList({ QStringLiteral("型号=") + QString(22, u' ') + QStringLiteral("对讲机型号(&D)"),
                                    QStringLiteral("传送=") + QString(8, u' ') + QStringLiteral("数据传送(&S)"),
                                    QStringLiteral("系统=") + QString(8, u' ') + QStringLiteral("系统设置(&X)"),
                                    QStringLiteral("退出=") + QString(7, u' ') + QStringLiteral("退出系统(&T)"),
                                    QStringLiteral("帮助=") + QString(7, u' ') + QStringLiteral("帮助(&B)"),
                                    QStringLiteral("编辑=") + QString(4, u' ') + QStringLiteral("编辑(&E)") }));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (QAction *a : window.menuBar()->actions()) {   // none behind the bar's overflow button
            const QRect place = window.menuBar()->actionGeometry(a);
            QVERIFY2(!place.isEmpty() && window.menuBar()->rect().contains(place), qPrintable(a->text()));
        }
        // 系统设置 opens on the designed items; what came since follows, by topic.
        QStringList system;
        for (QAction *a : menuItem(&window, "系统")->menu()->actions())
            system << a->objectName() + u'=' + a->text();
        QCOMPARE(system.mid(0, 3), QStringList({ "端口=选择端口", "波特率=波特率", "=" }));
        // No menu longer than a glance takes in; every added item has its access key.
        const QStringList designed = { "型号", "传送", "系统", "端口", "波特率", "退出", "帮助" };
        QList<QMenu *> menus;
        for (QAction *a : window.menuBar()->actions())
            if (a->menu())
                menus << a->menu();
        for (int i = 0; i < menus.size(); ++i)   // and the submenus, as they are found
            for (QAction *a : menus.at(i)->actions())
                if (a->menu())
                    menus << a->menu();
        QCOMPARE(menus.size(), 9);
        for (QMenu *menu : menus) {
            QList<QAction *> items = menu->actions();
            items.removeIf([](QAction *a) { return a->isSeparator() || !a->isEnabled(); });
            QVERIFY2(items.size() <= 10, qPrintable(menu->title()));
            for (QAction *a : items << menu->menuAction())
                QVERIFY2(designed.contains(a->objectName()) || a->text().contains(QRegularExpression(QStringLiteral("&[A-Z0-9]"))),
                         qPrintable(a->text()));
        }
        // Shortcuts read as a Chinese keyboard prints them; Qt's own buttons speak Chinese too.
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
        QCOMPARE(menuItem(&window, "moveUp")->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Alt+↑"));
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));

        // Alt+X, Enter: 选择端口, as designed.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        QTRY_VERIFY(window.portDialog() && window.portDialog()->isVisible());
        window.portDialog()->close();
    }

    // COM1 free, in use, or missing: the designed warning says "in use" only
    // when it is; the cause, the remedy and the cables plugged in follow.
    void loadOrderAndTheCom1Warning()
    {
        const QString cables = QStringLiteral("\n已插上的 USB 数据线：/dev/ttyUSB0（1a86:7523），"
                                              "可在“系统设置 → 串口与数据线 → 串口设备…”中设为 COM1。");
        const QString remedy = QStringLiteral("请在“系统设置 → 串口与数据线 → 串口设备…”中为 COM1 选择设备。");
        const struct { bool busy; DeviceState::Kind kind; QString cause, said; } cases[] = {
            { false, DeviceState::Opens, {}, {} },
            { true, DeviceState::InUse, {}, QStringLiteral("串行端口 1已被其它设备使用，请选择 COM2 ") + cables },
            { true, DeviceState::Missing, QStringLiteral("设备 /dev/fake1 不存在。\n") + remedy,
              QStringLiteral("串口 COM1 打不开：设备 /dev/fake1 不存在。\n") + remedy + cables },
        };
        for (const auto &c : cases) {
            TestDatabase file(TestDatabase::numberedRows(60));
            auto *port = new FakeSerialLink;
            if (c.busy)
                port->busy = { 1 };
            port->failure = c.kind;
            port->cause = c.cause;
            MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
            auto plugged = std::make_unique<FakePortList>();   // named when COM1 fails
            plugged->entries = { { QStringLiteral("/dev/ttyUSB0"), {}, {}, QStringLiteral("1a86:7523"), {} } };
            window.setPortList(std::move(plugged));
            MessageBoxes boxes;
            boxes.probe = [&window] { return window.isVisible(); };
            window.load(c.busy ? QDate(2010, 1, 5) : QDate(2004, 6, 8));
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label8"))->text(),
                     c.busy ? QStringLiteral("2010年1月5日") : QStringLiteral("2004年6月8日"));
            QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
            QCOMPARE(port->calls, QStringList({ "number 1", "open 1" }));
            QCOMPARE(port->isOpen(), !c.busy);
            QVERIFY(menuItem(&window, "传送")->isEnabled());
            for (const char *name : { "型号", "波特率", "帮助" })   // items with no action; a box would be answered within
                menuItem(&window, name)->trigger();
            QCOMPARE(boxes.seen, c.busy ? QStringList(systemWarning(c.said)) : QStringList());
            QCOMPARE(boxes.probes, QList<bool>(boxes.seen.size(), true));   // the window was up before the box
        }
    }

    // 帮助 → 使用说明 and F1 anywhere in the window open the one manual.
    void manualOnF1()
    {
        TestDatabase file(TestDatabase::numberedRows(3));
        MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
        window.load();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1")), Qt::Key_F1);
        QCOMPARE(window.findChildren<QDialog *>(QStringLiteral("使用说明")).size(), 1);
        menuItem(&window, "使用说明")->trigger();
        const auto manuals = window.findChildren<QDialog *>(QStringLiteral("使用说明"));
        QCOMPARE(manuals.size(), 1);
        QVERIFY(manuals.first()->isVisible());
        const QString text = manuals.first()->findChild<QTextBrowser *>()->toPlainText();
        for (const char *heading : { "第一次使用", "编辑信道表", "串口与数据线", "传送记录", "命令行" })
            QVERIFY2(text.contains(QString::fromUtf8(heading)), heading);
    }

    // 系统设置 → 频段… holds the rows to the band chosen: a frequency off it is
    // tinted, in the check's words, from then on.
    void bandTintsTheGrid()
    {
        OwnHome home;
        TestDatabase file(TestDatabase::numberedRows(3));
        MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
        window.load();
        const QAbstractItemModel *shown = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model();
        QVERIFY(!shown->index(0, 2).data(Qt::BackgroundRole).isValid());
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, &window, [] {
            if (auto *dialog = qobject_cast<BandDialog *>(QApplication::activeModalWidget())) {
                auto *bands = dialog->findChild<QComboBox *>();
                bands->setCurrentIndex(bands->findData(QStringLiteral("pmr446")));
                dialog->accept();
            }
        });
        chooser.start(10);
        menuItem(&window, "频段")->trigger();
        const auto noBand = qScopeGuard([] { BandProfiles::save(QStringLiteral("none")); });
        QVERIFY(shown->index(0, 2).data(Qt::BackgroundRole).isValid());
        QVERIFY(shown->index(0, 2).data(Qt::ToolTipRole).toString().contains(QStringLiteral("不在“PMR446”的频段内")));
        QCOMPARE(QSettings().value(QStringLiteral("band/id")).toString(), QStringLiteral("pmr446"));

        // A setting this program does not know is said once, at the start, and checked as none.
        BandProfiles::save(QStringLiteral("cb27"));
        MessageBoxes boxes;
        MainWindow again(std::make_unique<FakeSerialLink>(), file.path());
        again.load();
        QCOMPARE(boxes.texts(), QStringList{ QStringLiteral("频段设置 “cb27” 无法识别，按“无”检查。") });
        QCOMPARE(again.transfer()->band().id, QStringLiteral("none"));

        // The source of each band read whole, whichever was shown before it.
        chooser.stop();
        BandDialog dialog(QStringLiteral("none"), &window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *bands = dialog.findChild<QComboBox *>();
        auto *form = qobject_cast<QFormLayout *>(dialog.layout());
        auto *caption = qobject_cast<QLabel *>(form ? form->labelForField(bands) : nullptr);
        QVERIFY(caption && caption->text() == QStringLiteral("频段规划："));   // the list has its row, named
        QLabel *source = nullptr;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            if (label->textInteractionFlags() & Qt::TextSelectableByMouse)
                source = label;
        for (int band = 0; band < bands->count(); ++band) {
            bands->setCurrentIndex(band);
            QTRY_VERIFY2(source->height() >= source->heightForWidth(source->width()), qPrintable(source->text()));
        }
    }

    // 102 warnings (both frequencies of rows 1-51 off the raster): the question
    // fits a 1024×768 screen with its buttons, 复制 takes the whole list, and
    // only 仍然传送 sends: Enter and Escape answer 取消.
    void warningsQuestionFitsTheScreen()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(60);
        for (int i = 0; i < 51; ++i)
            rows[i][2] = rows[i][3] = 438.5126 + i * 0.0125;
        TestDatabase file(rows);
        auto *port = new FakeSerialLink;
        MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
        window.load();
        QStringList summaries;   // with what was wrong with the question, if anything
        const auto answer = [&](const std::function<void(ListMessage *)> &press) {
            QTimer::singleShot(0, &window, [&, press] {
                auto *question = qobject_cast<ListMessage *>(QApplication::activeModalWidget());
                if (!question || !QTest::qWaitForWindowExposed(question)) {
                    if (QWidget *other = QApplication::activeModalWidget())
                        other->close();
                    return;
                }
                QString wrong;
                if (question->frameGeometry().width() > 1024 || question->frameGeometry().height() > 768)
                    wrong += QStringLiteral("（太大）");
                for (QPushButton *button : question->findChildren<QPushButton *>())
                    if (!question->rect().contains(QRect(button->mapTo(question, QPoint()), button->size())))
                        wrong += QStringLiteral("（看不见 %1）").arg(button->text());
                if (!question->buttons()->button(QDialogButtonBox::No)->isDefault())
                    wrong += QStringLiteral("（默认不是取消）");
                summaries << question->findChild<QLabel *>(QStringLiteral("summary"))->text() + wrong;
                press(question);
            });
        };
        const auto key = [](Qt::Key k) { return [k](ListMessage *q) { QTest::keyClick(q, k); }; };
        for (const auto &press : { key(Qt::Key_Return), key(Qt::Key_Escape) }) {
            answer(press);
            menuItem(&window, "传送")->trigger();
            QVERIFY(!window.transfer()->isRunning());
        }
        answer([](ListMessage *q) {
            q->findChild<QPushButton *>(QStringLiteral("复制"))->click();
            q->buttons()->button(QDialogButtonBox::Yes)->click();
        });
        menuItem(&window, "传送")->trigger();
        QVERIFY(window.transfer()->isRunning());
        const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
        QCOMPARE(copied.size(), 1 + 102 + 2);   // the summary, the list, the question after a blank line
        QVERIFY(copied.at(102).startsWith(QStringLiteral("第 51 行（记录编号 51）")));
        // The summary by kind, when the caller has one.
        answer(key(Qt::Key_Escape));
        QVERIFY(!TransferQuestions::warningsAccepted(&window, { "a", "b" }, QStringLiteral("2 行频率不在频段内")));
        const QString byKind = QStringLiteral("要传送的信道中有 102 处警告：51 行频率不在 5 kHz 或 6.25 kHz 的间隔上");
        QCOMPARE(summaries, QStringList({ byKind, byKind, byKind, "要传送的信道中有 2 处警告：2 行频率不在频段内" }));
    }

    void transferRunsFromTheMenu()
    {
        TestDatabase file(TestDatabase::numberedRows(60));
        auto *port = new FakeSerialLink;
        MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
        window.load();
        auto *status = window.findChild<QLabel *>(QStringLiteral("Label2"));
        auto *bar = window.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
        menuItem(&window, "传送")->trigger();
        QCOMPARE(status->text(), QStringLiteral("正在传送数据,,,,,,,"));
        // 数据传送 again while it runs asks first; No leaves the transfer alone, Yes starts over.
        ticks(window, 10);
        MessageBoxes boxes(QMessageBox::No);
        menuItem(&window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.texts().at(0).startsWith(QStringLiteral("正在传送数据（已发送 10 帧，共 51 帧）。")));
        QCOMPARE(sequence(window)->counter(), 20);
        boxes.setAnswer(QMessageBox::Yes);
        menuItem(&window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(sequence(window)->counter(), 0);
        // The grid's current row is the frame being sent: keys and clicks leave it.
        ticks(window, 7);
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 1)).center());
        QTest::mouseMove(grid->viewport(), grid->visualRect(grid->model()->index(4, 1)).center());
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(4, 1)).center());
        QCOMPARE(grid->currentIndex().row(), 7);
        // The bar and the status line follow the sequence to its end, then clear.
        ticks(window, 44);
        QCOMPARE(port->written.size(), 16 * (10 + 51));   // ten of the load broken off, then all of this one
        QVERIFY(port->written.endsWith("33D7713E00673C43"));
        QCOMPARE(std::pair(bar->value(), status->text()), std::pair(100, QStringLiteral("数据传送完毕!!!")));
        ticks(window, 14);
        QCOMPARE(std::pair(bar->value(), status->text()), std::pair(0, QString()));
        // At rest, the grid is the operator's again at once: a click and typing edit the file.
        QCOMPARE(grid->currentIndex().row(), 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 2)).center());
        QTest::keyClick(grid, Qt::Key_4);
        QTRY_VERIFY(grid->viewport()->findChild<QLineEdit *>());
        auto *editor = grid->viewport()->findChild<QLineEdit *>();
        QTest::keyClicks(editor, QStringLiteral("39.025"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(file.stored()[3][2], QVariant(439.025));
    }

    void exitStopsTheTransferAndKeepsRefusedEdits()
    {
        TestDatabase file(TestDatabase::numberedRows(60));
        auto *port = new FakeSerialLink;
        QPointer<MainWindow> window = new MainWindow(std::unique_ptr<SerialLink>(port), file.path());
        window->load();
        auto *grid = window->findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        MessageBoxes boxes(QMessageBox::Cancel);
        QSignalSpy sent(window->transfer(), &TransferController::frameSent);

        // Another program holds the file, and an edit is still open in its cell
        // when the transfer is asked for: the edit is committed, the file
        // refuses it, and the transfer refuses to send what the file does not hold.
        FileLock lock(file.path());
        const QModelIndex cell = grid->model()->index(55, 4);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        qobject_cast<QLineEdit *>(QApplication::focusWidget())->setText(QStringLiteral("改"));
        menuItem(window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 2);
        const QString both = boxes.texts().join(u'|');
        QVERIFY(both.contains(QStringLiteral("有 1 处修改还没有写入文件 char4.mdb")));
        QVERIFY(both.contains(QStringLiteral("第 56 行“备注”的修改未能保存到 char4.mdb")));
        QCOMPARE(sent.count(), 0);
        // The exit asks what to do with the refused edit; Cancel keeps window and edit.
        menuItem(window, "退出")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 3);
        QVERIFY(boxes.texts().at(2).startsWith(QStringLiteral("有 1 处修改未能保存到 char4.mdb")));
        QVERIFY(window);
        QCOMPARE(grid->model()->index(55, 4).data().toString(), QStringLiteral("改"));

        // The file free again, the edit goes in first and the transfer runs; the
        // grid takes no edit meanwhile.
        lock.release();
        menuItem(window, "传送")->trigger();
        QTRY_VERIFY(sent.count() >= 3);
        QCOMPARE(file.stored()[55][4], QVariant(QStringLiteral("改")));
        QVERIFY(!(grid->model()->flags(cell) & Qt::ItemIsEditable));
        // The exit during a transfer asks first: No, and it goes on; Yes, and it ends.
        boxes.setAnswer(QMessageBox::No);
        window->close();
        QTRY_COMPARE(boxes.seen.size(), 4);
        QVERIFY(boxes.texts().at(3).startsWith(QStringLiteral("正在传送数据（已发送 ")));
        QVERIFY(window && window->transfer()->isRunning());
        boxes.setAnswer(QMessageBox::Yes);
        QSignalSpy gone(port, &QObject::destroyed);
        menuItem(window, "退出")->trigger();
        QTRY_VERIFY(!window);
        QCOMPARE(gone.count(), 1);   // the port went with the window: nothing more can go out
        const int sentAtExit = sent.count();
        const TransferJournal::Entry last = TransferJournal::entries().first();
        QCOMPARE(std::pair(last.result, last.detail), std::pair(LoadResult::Interrupted, QStringLiteral("退出系统")));
        QCOMPARE(last.framesSent, sentAtExit);
    }

    void accessFileIsReadOnlyUntilConverted()
    {
        // The Access 97 fixture with its Table1 renamed to 信道表: in GBK the new
        // name has the same six bytes, so the file stays intact.
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath(QStringLiteral("char4.mdb")),
                                       readFile(QStringLiteral(QT7020_TEST_DATA "/jet3-access97.mdb"))
                                               .replace("Table1", QByteArray::fromHex("d0c5b5c0b1ed")));

        auto *port = new FakeSerialLink;
        MainWindow window(std::unique_ptr<SerialLink>(port), path);
        MessageBoxes boxes;
        window.load();
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        QTRY_COMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));   // read in the background

        QTest::keyClick(grid->viewport(), Qt::Key_5);   // typing is refused, pointing to the conversion
        QTRY_COMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.texts().at(0).contains(QStringLiteral("转换为新格式")));
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("b"));

        // It sends like any other file: its channel fields hold letters, so null
        // frames, sent once the operator has seen the warnings about them.
        boxes.setAnswer(QMessageBox::Yes);   // 仍然传送
        menuItem(&window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 2);
        QVERIFY(boxes.texts().at(1).startsWith(QStringLiteral("要传送的信道中有 ")));
        ticks(window, 3);
        QCOMPARE(port->written, QByteArray(32, '0'));
        boxes.setAnswer(QMessageBox::Ok);

        // Both frames have left the line: the load is done, its idle tail says nothing when cut.
        sequence(window)->abort(QString());
        menuItem(&window, "转换")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 3);
        QVERIFY(boxes.texts().at(2).contains(QStringLiteral("char4.jet.mdb")));
        QCOMPARE(channelFileKind(path), ChannelFileKind::SQLite);
        QVERIFY(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable);
        QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("hijklmnop"));
        menuItem(&window, "转换")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 4);
        QVERIFY(boxes.texts().at(3).contains(QStringLiteral("不需要转换")));
        // The original, opened again: read in the background, then shown.
        QVERIFY(window.openFile(dir.filePath(QStringLiteral("char4.jet.mdb"))));
        QTRY_COMPARE(window.windowTitle(), QStringLiteral("QT7020 - char4.jet.mdb"));
        QVERIFY(!(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable));
    }

    void longRemarkIsEditedWhole()
    {
        // Longer than a line editor holds: leaving the cell must not cut it.
        const QString remark = QString(40000, u'长') + QStringLiteral("尾");
        TestDatabase file({ { 1, 1, 145.0, 145.0, remark } });
        MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
        window.load();
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        grid->setCurrentIndex(grid->model()->index(0, 4));
        grid->edit(grid->currentIndex());
        QTRY_VERIFY(grid->viewport()->isAncestorOf(QApplication::focusWidget()));
        grid->commitPendingEdit();
        QCOMPARE(file.stored()[0][4], QVariant(remark));
    }

    void gridKeysActOnTheSelection()
    {
        GridRig rig(TestDatabase::numberedRows(5));
        QVERIFY(rig.opened && showActive(rig.grid));
        const auto ctrl = Qt::ControlModifier;
        auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { return pressed(rig, key, modifiers); };
        // Cells of rows 2 and 3 selected: the copies follow them and become the selection.
        rig.cursor.setCurrentIndex(rig.table.index(1, 1), QItemSelectionModel::NoUpdate);
        rig.cursor.select(QItemSelection(rig.table.index(1, 1), rig.table.index(2, 2)), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(press(Qt::Key_D, ctrl), QStringLiteral("1 2 3 6 7 4 5"));
        QCOMPARE(selectedRows(rig.cursor), QList<int>({ 3, 4 }));
        QCOMPARE(rig.cursor.currentRow(), 3);
        QCOMPARE(press(Qt::Key_Up, Qt::AltModifier), QStringLiteral("1 2 6 7 3 4 5"));
        QCOMPARE(selectedRows(rig.cursor), QList<int>({ 2, 3 }));
        press(Qt::Key_C, ctrl);
        QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), 2);
        QCOMPARE(press(Qt::Key_Delete, ctrl), QStringLiteral("1 2 3 4 5"));
        rig.cursor.setCurrentIndex(rig.table.index(4, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(press(Qt::Key_V, ctrl), QStringLiteral("1 2 3 4 6 7"));   // the two rows again, past the end
        press(Qt::Key_Z, ctrl);
        QCOMPARE(press(Qt::Key_Insert), QStringLiteral("1 2 3 4 6 5"));
        QCOMPARE(rig.cursor.currentRow(), 4);
        QCOMPARE(press(Qt::Key_Z, ctrl), QStringLiteral("1 2 3 4 5"));
        QCOMPARE(press(Qt::Key_Z, ctrl | Qt::ShiftModifier), QStringLiteral("1 2 3 4 6 5"));
        press(Qt::Key_Z, ctrl);
        QCOMPARE(press(Qt::Key_Y, ctrl), QStringLiteral("1 2 3 4 6 5"));

        // In an open cell editor the keys edit the text, not the table.
        rig.grid.setCurrentIndex(rig.table.index(0, 4));
        rig.grid.edit(rig.table.index(0, 4));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        auto *typing = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        typing->setText(QStringLiteral("ab cd"));
        typing->setCursorPosition(0);
        QTest::keyClick(typing, Qt::Key_Delete, ctrl);
        QTest::keyClick(typing, Qt::Key_Delete);
        QCOMPARE(typing->text(), QStringLiteral("d"));
        QCOMPARE(rig.store.rowCount(), 6);
    }

    // After select-all the commands take every row of the file, also those
    // not fetched yet, or fetched by scrolling after it.
    void selectAllTakesEveryRowOfTheFile()
    {
        GridRig rig(TestDatabase::numberedRows(300));
        QVERIFY(rig.opened && rig.store.canFetchMore() && showActive(rig.grid));
        const QVector<QVariantList> original = rig.file.stored();
        const auto ctrl = Qt::ControlModifier;
        pressed(rig, Qt::Key_A, ctrl);
        pressed(rig, Qt::Key_C, ctrl);
        QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), 300);
        QVERIFY(rig.store.open(rig.file.path()));
        pressed(rig, Qt::Key_A, ctrl);
        rig.table.fetchMore({});
        pressed(rig, Qt::Key_Delete);
        QCOMPARE(rig.file.stored(), QVector<QVariantList>(300, QVariantList(ChannelRow::fieldCount)));
        QCOMPARE(rig.editor.history()->count(), 1);
        pressed(rig, Qt::Key_Z, ctrl);
        QCOMPARE(rig.file.stored(), original);

        // Deleting every row asks first; 取消 keeps them.
        MessageBoxes boxes(QMessageBox::No);
        pressed(rig, Qt::Key_A, ctrl);
        pressed(rig, Qt::Key_Delete, ctrl);
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.texts().first(), QStringLiteral("要删除信道表的全部 300 行吗？"));
        QCOMPARE(rig.file.stored(), original);
    }

    void mouseSelectsCells()
    {
        GridRig rig(TestDatabase::numberedRows(5));
        QVERIFY(rig.opened && showActive(rig.grid));
        const auto at = [&](int row, int column) { return rig.grid.visualRect(rig.table.index(row, column)).center(); };
        // Dragging over cells selects them.
        QTest::mousePress(rig.grid.viewport(), Qt::LeftButton, {}, at(1, 1));
        QTest::mouseMove(rig.grid.viewport(), at(2, 2));
        QTest::mouseRelease(rig.grid.viewport(), Qt::LeftButton, {}, at(2, 2));
        QCOMPARE(rig.cursor.selectedIndexes().size(), 4);

        // A right-click inside the selection keeps it for the context menu.
        QMouseEvent right(QEvent::MouseButtonPress, at(2, 2), rig.grid.viewport()->mapToGlobal(at(2, 2)), Qt::RightButton,
                          Qt::RightButton, {});
        QApplication::sendEvent(rig.grid.viewport(), &right);
        QCOMPARE(rig.cursor.selectedIndexes().size(), 4);

        // A plain click after select-all makes one cell the selection and opens
        // no editor, however long the operator waits: Ctrl+Delete then takes
        // one row. Waiting out the double-click interval is the point here.
        pressed(rig, Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(rig.grid.viewport(), Qt::LeftButton, {}, at(2, 4));
        QCOMPARE(selectedRows(rig.cursor), QList<int>());
        QCOMPARE(rig.cursor.selectedIndexes(), QModelIndexList({ rig.table.index(2, 4) }));
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QVERIFY(!rig.grid.viewport()->findChild<QLineEdit *>());
        QCOMPARE(pressed(rig, Qt::Key_Delete, Qt::ControlModifier), QStringLiteral("1 2 4 5"));
    }

    // Ctrl+End goes to the file's last row, though a page of rows is read;
    // the row numbers then need a digit more, and show it whole.
    void ctrlEndReachesTheFilesLastRow()
    {
        DesignFonts::installSubstitutes();   // the design's fonts, whose digits Qt's own estimate cuts
        GridRig rig(TestDatabase::numberedRows(1200));
        QVERIFY(rig.opened && rig.store.canFetchMore() && showActive(rig.grid));
        rig.grid.setCurrentIndex(rig.table.index(0, 1));
        pressed(rig, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(rig.cursor.currentRow(), 1199);
        QHeaderView *numbers = rig.grid.verticalHeader();
        QFont bold = numbers->font();   // as the current row's number is drawn
        bold.setBold(true);
        const int margins = 2 * numbers->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, numbers);
        const int lines = 2;   // the section's edges
        QTRY_VERIFY(numbers->width() >= QFontMetrics(bold).horizontalAdvance(QStringLiteral("1200")) + margins + lines);
    }

    // The grid tints what 检查信道表… lists, duplicates included, in its words.
    void gridMarksWhatTheCheckLists()
    {
        QVector<QVariantList> rows = TestDatabase::numberedRows(3);
        rows[2][1] = 1;
        TestDatabase file(rows);
        MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
        const QAbstractItemModel *shown = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model();
        QCOMPARE(shown->index(2, 1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("信道号 1 与第 1 行相同：电台只保留其中一个"));
        QVERIFY(shown->index(2, 1).data(Qt::BackgroundRole).isValid());
        QVERIFY(!shown->index(0, 1).data(Qt::BackgroundRole).isValid());

        window.load();   // and a double-click on the list's line goes to the cell
        menuItem(&window, "检查")->trigger();
        auto *check = window.findChild<PlanCheckDialog *>();
        auto *list = check->findChild<QListWidget *>();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("第 3 行（记录编号 3）警告：信道号 1 与第 1 行相同：电台只保留其中一个"));
        QVERIFY(check->findChild<QLabel *>(QStringLiteral("summary"))->text().startsWith(QStringLiteral("前 51 行中有 0 处错误、1 处警告")));
        emit list->itemDoubleClicked(list->item(0));
        QCOMPARE(window.findChild<ChannelCursor *>()->currentIndex(), shown->index(2, 1));
        QCOMPARE(check->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)->text(), QStringLiteral("关闭"));
    }

    void signalKeepsRefusedEditsForTheNextStart()
    {
        TestDatabase file(TestDatabase::numberedRows(5));
        // A folder holds the side file's name beside the plan: the edits go to the state folder.
        QVERIFY(QDir(file.dir()).mkdir(QStringLiteral("char4.mdb.unsaved.csv")));
        QTemporaryDir state;
        const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", state.path().toUtf8());
        const auto restore = qScopeGuard([&] { qputenv("XDG_STATE_HOME", stateHome); });
        const QString side = UnsavedEdits::stateFileFor(file.path());
        FileLock lock(file.path());
        MessageBoxes boxes(QMessageBox::Yes);
        {
            MainWindow window(std::make_unique<FakeSerialLink>(), file.path());
            window.load();
            auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
            for (const auto &[row, column, typed] : { std::tuple(2, 4, "未存"), std::tuple(3, 1, "9"), std::tuple(4, 4, "我的") })
                QVERIFY(grid->model()->setData(grid->model()->index(row, column), QString::fromUtf8(typed)));
            QTRY_COMPARE(boxes.seen.size(), 3);   // the refusals
            QVERIFY(!QFile::exists(side));
            // The program's event loop ends on the signal, after the edits went to the side file.
            ::raise(SIGTERM);
            QTimer guard;
            connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
            guard.start(5000);
            QCOMPARE(QCoreApplication::exec(), 0);
        }
        QFile kept(side);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QStringLiteral("\uFEFF记录编号,字段,原值,新值\r\n3,\"备注\",\"第 3 行\",\"未存\"\r\n"
                                                                   "4,\"信道号\",4,9\r\n5,\"备注\",\"第 5 行\",\"我的\"\r\n").toUtf8());

        // Meanwhile another program took one edit and changed another cell: only
        // the cell it left is written unasked, and the changed one is asked
        // about, keeping the file's value unless told otherwise.
        lock.release();
        otherProgram(file.path(), QStringLiteral("UPDATE 信道表 SET 信道号 = 9 WHERE rowid = 4;"
                                                 "UPDATE 信道表 SET 备注 = '他的' WHERE rowid = 5"));
        boxes.probe = [&boxes] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            const bool changedCells = box->text().startsWith(QStringLiteral("保存的修改中"));
            boxes.setAnswer(changedCells ? QMessageBox::No : QMessageBox::Yes);
            return !changedCells || box->defaultButton() == box->button(QMessageBox::No);
        };
        MainWindow next(std::make_unique<FakeSerialLink>(), file.path());
        next.load();
        QTRY_COMPARE(boxes.seen.size(), 6);
        QCOMPARE(boxes.texts().mid(3), QStringList({
            QStringLiteral("上次退出时，有修改未能保存到 char4.mdb，已另存在 %1。\n现在把这些修改写入 char4.mdb 吗？").arg(side),
            QStringLiteral("保存的修改中，有 1 处在 char4.mdb 中已被其他程序改动：\n第 5 行“备注”：文件中现为“他的”，保存的修改为“我的”"),
            QStringLiteral("已把 1 处修改写入 char4.mdb。1 处保留了文件中的值。") }));
        QVERIFY(!boxes.probes.contains(false));
        const QVector<QVariantList> stored = file.stored();
        QCOMPARE(QVariantList({ stored[2][4], stored[3][1], stored[4][4] }),
                 QVariantList({ QStringLiteral("未存"), 9LL, QStringLiteral("他的") }));
        QVERIFY(!QFile::exists(side));
    }

    // The Access file is read by a reader that hangs, then by one that crashes: the
    // window is up and answers meanwhile, and the crash becomes a message.
    void damagedAccessFileLeavesTheWindowUsable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("char4.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(QT7020_TEST_DATA "/jet3-access97.mdb"), path));
        const QByteArray program = qgetenv("QT7020_JET_READER");
        const auto restore = qScopeGuard([&] { qputenv("QT7020_JET_READER", program); });
        MessageBoxes boxes;
        {
            qputenv("QT7020_JET_READER", "sh -c \"sleep 60\"");
            MainWindow window(std::make_unique<FakeSerialLink>(), path);
            window.load();
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("正在读取 char4.mdb……"));
            menuItem(&window, "传送")->trigger();   // the menu answers: not read yet
            QTRY_COMPARE(boxes.seen.size(), 1);
            QCOMPARE(boxes.texts().at(0), QStringLiteral("正在读取 char4.mdb，请稍候再操作。"));
        }   // and the reader goes with the window
        qputenv("QT7020_JET_READER", "sh -c \"kill -SEGV $$\"");
        MainWindow window(std::make_unique<FakeSerialLink>(), path);
        window.load();
        QTRY_COMPARE(boxes.seen.size(), 2);
        QVERIFY(boxes.texts().at(1).startsWith(
                QStringLiteral("信道文件 char4.mdb 不能使用（查找位置：%1）：文件已损坏（读取程序异常终止，信号 11）。\n")
                        .arg(QDir::toNativeSeparators(dir.path()))));

        // Opened from another file, it is read in the background: that file
        // stays shown, and in use, while it is read and after it fails.
        const TestDatabase plan(TestDatabase::numberedRows(3));
        QVERIFY(window.openFile(plan.path()) && window.openFile(path));
        menuItem(&window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 4);
        QVERIFY(boxes.texts().contains(QStringLiteral("正在读取 char4.mdb，请稍候再操作。")));
        QVERIFY(boxes.texts().contains(QStringLiteral("信道文件 %1 不能使用：文件已损坏（读取程序异常终止，信号 11）。")
                                               .arg(QDir::toNativeSeparators(path))));
        const QAbstractItemModel *shown = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model();
        QCOMPARE(shown->index(2, 4).data().toString(), QStringLiteral("第 3 行"));
        QVERIFY(shown->flags(shown->index(2, 4)) & Qt::ItemIsEditable);
    }

    void deviceVanishesMidTransfer()
    {
        auto com1 = std::make_unique<Pty>();
        qputenv("QT7020_COM1", com1->device().toLocal8Bit());
        TestDatabase file(TestDatabase::numberedRows(60));
        auto *link = new QtSerialLink;
        MainWindow window(std::unique_ptr<SerialLink>(link), file.path());
        MessageBoxes boxes;
        window.load();
        QVERIFY(link->isOpen());

        QSignalSpy sent(window.transfer(), &TransferController::frameSent);
        menuItem(&window, "传送")->trigger();
        QVERIFY(com1->read(16 * 5).size() >= 16 * 5);
        com1->closeMaster();   // the adapter is pulled out
        QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 1, 3000);
        QVERIFY2(boxes.texts().at(0).startsWith(QStringLiteral("串口 1（%1）出现故障，已关闭").arg(com1->device())),
                 qPrintable(boxes.texts().at(0)));
        QVERIFY2(boxes.texts().at(0).endsWith(QStringLiteral("数据传送已停止。\n已发送 %1 帧（第 1–%1 行），其余未发送")
                                                      .arg(sent.count())),
                 qPrintable(boxes.texts().at(0)));
        QVERIFY(!window.transfer()->isRunning());
        QVERIFY(!link->isOpen());
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QString());
        QCOMPARE(window.findChild<ChannelCursor *>()->currentRow(), 0);
    }

    // On a new PC there is no char4.mdb: the first box leads to the dialog
    // that makes a new plan or opens one.
    void missingPlanLeadsToAnother()
    {
        const struct { const char *answer; QString dialog; } cases[] = {
            { "新建信道文件…", QStringLiteral("新建信道文件") },
            { "打开信道文件…", QStringLiteral("打开信道文件") },
            { "关闭", QString() },
        };
        for (const auto &c : cases) {
            QTemporaryDir dir;
            MainWindow window(std::make_unique<FakeSerialLink>(), dir.filePath(QStringLiteral("char4.mdb")));
            MessageBoxes boxes;
            boxes.answerText = QString::fromUtf8(c.answer);
            QString shown;
            QTimer chooser;
            connect(&chooser, &QTimer::timeout, &window, [&shown] {
                if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                    shown = files->windowTitle();
                    files->reject();
                }
            });
            chooser.start(10);
            window.load();
            QCOMPARE(boxes.buttons.value(0), QStringLiteral("新建信道文件…/打开信道文件…/关闭"));
            QCOMPARE(shown, c.dialog);
        }
    }

    void damagedChannelFileAtStartUp_data()
    {
        QTest::addColumn<QByteArray>("bytes");   // null: no file at all; "dir": a folder of that name
        QTest::addColumn<QString>("cause");
        const QByteArray whole = readFile(TestDatabase(TestDatabase::numberedRows(3000)).path());
        QTest::newRow("missing") << QByteArray() << "文件不存在";
        QTest::newRow("directory") << QByteArray("dir") << "不是文件";
        QTest::newRow("garbage") << QByteArray(8192, '\x5a') << "不是信道文件";
        QTest::newRow("empty") << QByteArray("") << "文件是空的";
        QTest::newRow("no table") << readFile(TestDatabase({}, QStringLiteral("CREATE TABLE other (a)")).path()) << "缺少信道表";
        QTest::newRow("truncated") << whole.left(whole.size() / 2) << "database disk image is malformed";
        QTest::newRow("short table") << readFile(TestDatabase({}, QStringLiteral("CREATE TABLE 信道表 (a, b)")).path())
                                     << "信道表的字段少于五个";
    }

    void damagedChannelFileAtStartUp()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("char4.mdb"));
        if (bytes == "dir")
            QDir(dir.path()).mkdir(QStringLiteral("char4.mdb"));
        else if (!bytes.isNull())
            writeFile(path, bytes);
        const QByteArray before = fileDigest(path);
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

        auto *port = new FakeSerialLink;
        MainWindow window(std::unique_ptr<SerialLink>(port), path);
        MessageBoxes boxes;
        window.load();
        QCOMPARE(boxes.seen.size(), 1);
        const QString text = boxes.texts().at(0);
        QVERIFY2(text.contains(QStringLiteral("char4.mdb")) && text.contains(QDir::toNativeSeparators(dir.path()))
                         && text.contains(cause),
                 qPrintable(text));
        QCOMPARE(boxes.buttons.at(0), QStringLiteral("新建信道文件…/打开信道文件…/关闭"));
        QVERIFY(port->isOpen());   // the port is opened all the same
        QCOMPARE(fileDigest(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), filesBefore);

        menuItem(&window, "传送")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 2);
        QVERIFY(port->written.isEmpty());
    }

    void gridFollowsTheFile_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("currentAt");     // the current row (key 4, or its neighbour) afterwards
        QTest::addColumn<QString>("remark");    // and what it shows
        QTest::addColumn<int>("history");       // undo steps left: rows that came or went void them
        QTest::newRow("cell") << "UPDATE 信道表 SET 备注 = '外' WHERE rowid = 4" << 5 << 3 << "外" << 1;
        QTest::newRow("removed above") << "DELETE FROM 信道表 WHERE rowid < 3" << 3 << 1 << "第 4 行" << 0;
        QTest::newRow("added") << "INSERT INTO 信道表 (rowid) VALUES (0);INSERT INTO 信道表 (备注) VALUES ('b')"
                               << 7 << 4 << "第 4 行" << 0;
        QTest::newRow("file replaced") << "replace" << 2 << 1 << "第 2 行" << 0;
    }

    void gridFollowsTheFile()
    {
        QFETCH(QString, change);
        QFETCH(int, rows);
        QFETCH(QString, remark);
        TestDatabase file(TestDatabase::numberedRows(5));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        ChannelCursor cursor(&rig.store, &rig.table);
        cursor.setCurrentIndex(rig.table.index(3, 4), QItemSelectionModel::ClearAndSelect);
        QVERIFY(rig.editor.editCell(4, 4, QStringLiteral("我的")));
        QSignalSpy resets(&rig.store, &QAbstractItemModel::modelReset);
        if (change == u"replace")   // a two-row file moved in under the same name
            QCOMPARE(std::rename(qPrintable(TestDatabase(TestDatabase::numberedRows(2)).path()), qPrintable(file.path())), 0);
        else
            otherProgram(file.path(), change);
        // Nobody asks: the watch and the poll notice on their own.
        QTRY_VERIFY(rig.store.rowCount() == rows && cursor.currentIndex().data().toString() == remark);
        QTEST(cursor.currentRow(), "currentAt");
        QTEST(rig.editor.history()->count(), "history");
        QCOMPARE(resets.count(), 0);
    }

    void fileSwappedForNoTableIsStale()
    {
        TestDatabase file(TestDatabase::numberedRows(5));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QSignalSpy stale(&rig.store, &ChannelStore::becameStale);
        QCOMPARE(std::rename(qPrintable(TestDatabase({}, QStringLiteral("CREATE TABLE 其它 (x)")).path()),
                             qPrintable(file.path())), 0);
        QTRY_COMPARE(stale.count(), 1);
        rig.follower.check();
        QCOMPARE(stale.count(), 1);   // said once, though looked at again
        QVERIFY(rig.store.staleReason().startsWith(QStringLiteral("char4.mdb 已被其他程序换成了不能使用的文件（缺少信道表）")));
        QCOMPARE(rig.store.rowCount(), 5);
        QVERIFY(!rig.editor.insertRowAbove(0) && !(rig.table.flags(rig.table.index(0, 4)) & Qt::ItemIsEditable));
        QVERIFY(LoadPlan::of(rig.store, BandProfiles::none()).refusal().startsWith(rig.store.staleReason()));
        // A channel table back under the name: followed as before.
        QCOMPARE(std::rename(qPrintable(TestDatabase(TestDatabase::numberedRows(2)).path()), qPrintable(file.path())), 0);
        QTRY_COMPARE(rig.store.rowCount(), 2);
        QVERIFY(rig.store.staleReason().isEmpty() && rig.editor.insertRowAbove(0));
    }

    // A row command (a typed edit in the window test below) on a row another
    // program changed since the grid read it.
    void conflictWritesNothingUntilChosen()
    {
        for (const bool mine : { false, true }) {   // 保留文件中的值, 使用我的值
            const QString remarkAfter = mine ? QStringLiteral("第 4 行") : QStringLiteral("他人");   // row 2's, in file and grid
            TestDatabase file(TestDatabase::numberedRows(5));
            Channels rig;
            QVERIFY(rig.store.open(file.path()));
            QSignalSpy conflicts(&rig.editor, &ChannelEditor::conflicted);
            otherProgram(file.path(), otherRemark + QStringLiteral(";UPDATE 信道表 SET 信道号 = 9 WHERE rowid = 3"));
            const QByteArray before = fileDigest(file.path());
            QVERIFY(!rig.editor.deleteRows({ 1, 2 }));
            QCOMPARE(fileDigest(file.path()), before);
            QCOMPARE(conflicts.count(), 1);
            QVERIFY(conflicts.first().first().toString().endsWith(
                    QStringLiteral("第 2 行“备注”：文件中的值为“他人”，您的值为“第 2 行”。\n另有 1 处也已不同。")));

            QCOMPARE(mine ? rig.editor.useMine() : (rig.editor.keepFileValues(), false), mine);
            QCOMPARE(file.stored().size(), mine ? 3 : 5);
            QCOMPARE(file.stored().at(1).at(4).toString(), remarkAfter);
            QCOMPARE(rig.store.rowCount(), file.stored().size());
            QCOMPARE(rig.store.index(1, 4).data().toString(), remarkAfter);
            // Chosen, the grid follows the file again.
            otherProgram(file.path(), QStringLiteral("UPDATE 信道表 SET 备注 = '后来' WHERE rowid = 1"));
            rig.follower.check();
            QCOMPARE(rig.store.index(0, 4).data().toString(), QStringLiteral("后来"));
        }
        // A row the command takes, deleted meanwhile, is named by its place in the grid.
        TestDatabase file(TestDatabase::numberedRows(5));
        Channels rig;
        QVERIFY(rig.store.open(file.path()));
        QSignalSpy conflicts(&rig.editor, &ChannelEditor::conflicted);
        otherProgram(file.path(), QStringLiteral("DELETE FROM 信道表 WHERE rowid = 3"));
        QVERIFY(!rig.editor.deleteRows({ 2 }));
        QVERIFY(conflicts.first().first().toString().endsWith(QStringLiteral("\n第 3 行已被其他程序删除。")));
    }

    // The editor keeps the typing while the grid follows the file; committing asks.
    void editorKeepsTypingAndTheWindowAsks()
    {
        TestDatabase file(TestDatabase::numberedRows(3));
        MainWindow window(std::unique_ptr<SerialLink>(new FakeSerialLink), file.path());
        window.load();
        auto *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"));
        const QModelIndex cell = grid->model()->index(1, 4);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QLineEdit *editor = nullptr;
        QTRY_VERIFY((editor = qobject_cast<QLineEdit *>(QApplication::focusWidget())));
        otherProgram(file.path(), QStringLiteral("UPDATE 信道表 SET 备注 = '先改' WHERE rowid = 2"));
        QTRY_COMPARE(editor->text(), QStringLiteral("先改"));   // untouched, it shows the file
        editor->setText(QStringLiteral("我的"));
        otherProgram(file.path(), otherRemark);
        QTRY_COMPARE(cell.data().toString(), QStringLiteral("他人"));
        QCOMPARE(editor->text(), QStringLiteral("我的"));

        MessageBoxes boxes(QMessageBox::Yes);
        QStringList buttons;
        boxes.probe = [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            buttons << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
            return true;
        };
        grid->commitPendingEdit();
        QTRY_COMPARE(file.stored().at(1).at(4).toString(), QStringLiteral("我的"));
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen.first().startsWith(QStringLiteral("系统信息|char4.mdb 已被其他程序修改，没有写入。\n"
                                                             "第 2 行“备注”：文件中的值为“他人”，您的值为“我的”。")));
        QCOMPARE(buttons, QStringList({ QStringLiteral("使用我的值"), QStringLiteral("保留文件中的值") }));
    }

    // Rows cut before the start are not sent; rows cut, or the file swapped for
    // one with no channel table, after 3 frames change nothing: the radio gets
    // the plan as it was when the transfer started.
    void transferSendsOnePlan()
    {
        for (const int cutAt : { 0, 3, -3 }) {
            TestDatabase file(TestDatabase::numberedRows(51));
            Channels rig;
            QVERIFY(rig.store.open(file.path()));
            FakeSerialLink port;
            port.open();
            TransferController controller(&rig.store, &port);
            QSignalSpy verdicts(&controller, &TransferController::concluded);
            const QString cut = QStringLiteral("DELETE FROM 信道表 WHERE rowid > 4");
            if (cutAt == 0) {
                otherProgram(file.path(), cut);
                rig.follower.check();
            }
            QVERIFY(controller.start(controller.prepare()));
            for (int tick = 0; tick < TransferSequence::endAt / TransferSequence::step; ++tick) {
                if (tick == cutAt && cutAt > 0)
                    otherProgram(file.path(), cut);
                if (tick == -cutAt && cutAt < 0)
                    std::rename(qPrintable(TestDatabase({}, QStringLiteral("CREATE TABLE 其它 (x)")).path()),
                                qPrintable(file.path()));
                rig.follower.check();   // the follower reads the file between ticks
                TransferRig::tick(&controller, 1);
            }
            QCOMPARE(port.written, TestDatabase::sentFrames(1, cutAt == 0 ? 4 : 51));
            // The end says when the file no longer holds what the radio got.
            QCOMPARE(verdicts.count(), 1);
            QCOMPARE(verdicts.first().at(1).toString(),
                     cutAt ? QStringLiteral("传送期间文件已改动，电台收到的是开始传送时的信道表") : QString());
            QCOMPARE(TransferJournal::entries().first().detail, verdicts.first().at(1).toString());
        }
    }

    // The plans of the table in the window: 数据传送 refuses in the plan's
    // words, or asks about exactly its warnings, and sends its bytes; 连续传送
    // shows its checksum and journals a radio with the warnings accepted.
    void planTableInTheWindow()
    {
        OwnHome home;
        for (const PlanCase &c : planCases()) {
            BandProfiles::save(c.band);
            TestDatabase file(c.rows);
            auto *port = new FakeSerialLink;
            MainWindow window(std::unique_ptr<SerialLink>(port), file.path());
            MessageBoxes boxes;   // an empty table is said at the start too
            window.load();
            boxes.seen.clear();
            boxes.answerText = QStringLiteral("仍然传送(&Y)");
            menuItem(&window, "传送")->trigger();
            if (window.transfer()->isSending())
                ticks(window, 65);
            QCOMPARE(LoadPlan::checksumOf(port->written), c.checksum.isEmpty() ? LoadPlan::checksumOf({}) : c.checksum);
            const QStringList asked = boxes.texts();
            QCOMPARE(asked.size(), c.refusal.isEmpty() && c.warnings.isEmpty() ? 0 : 1);
            for (const QString &line : c.refusal.isEmpty() ? c.warnings : QStringList{ c.refusal })
                QVERIFY2(asked.first().contains(line), qPrintable(asked.first()));

            menuItem(&window, "连续传送")->trigger();
            QPointer<FleetDialog> dialog = window.findChild<FleetDialog *>();
            QCOMPARE(bool(dialog), c.refusal.isEmpty());
            if (!dialog) {
                QCOMPARE(boxes.texts().last(), c.refusal);
                continue;
            }
            QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("传送校验"))->text() == c.checksum);
            QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("电台")), Qt::Key_Return);
            ticks(window, 65);
            const TransferJournal::Entry last = TransferJournal::entries().first();
            QCOMPARE(std::tuple(last.sha256, last.warnings, last.result), std::tuple(c.checksum, int(c.warnings.size()), LoadResult::Done));
            dialog->close();   // the run's summary
            dialog->close();
        }
    }

    // 连续传送: radio after radio through the window's own load, each with its
    // label in the journal; a failed radio is clicked and loaded again under
    // its label, its first line then marked 已重传; a label scanned during a
    // load waits as the next radio. What the window has to say (a failure, a
    // port fault) opens no box and leaves the keys in the label field; only
    // closing during a load asks, and the first 关闭 shows what the run came to.
    void fleetLoadsRadioAfterRadio()
    {
        FleetRig rig;
        FakeSerialLink *port = rig.port;
        MainWindow &window = rig.window;
        MessageBoxes boxes;
        QPointer<FleetDialog> dialog = openFleet(window);
        QVERIFY(dialog);
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("传送校验"))->text() == LoadPlan::checksumOf(TestDatabase::sentFrames(1, 51)));
        auto *label = dialog->findChild<QLineEdit *>(QStringLiteral("电台"));
        auto *table = dialog->findChild<QTableWidget *>();
        const QAbstractItemModel *grid = window.findChild<ChannelGrid *>(QStringLiteral("DataGrid1"))->model();
        const struct { const char *typed; int pick; bool fails; const char *radio; } radios[] = {
            { "巡逻09", -1, false, "巡逻09" }, { nullptr, -1, false, "巡逻20" }, { nullptr, -1, true, "巡逻21" },
            { nullptr, 2, false, "巡逻21" },   { nullptr, -1, false, "巡逻22" },
        };
        QStringList loads;
        for (const auto &radio : radios) {
            if (radio.typed)
                label->setText(QString::fromUtf8(radio.typed));
            if (radio.pick >= 0)
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(radio.pick, 0)).center());
            QCOMPARE(label->text(), QString::fromUtf8(radio.radio));   // offered, typed or picked
            QCOMPARE(QApplication::focusWidget(), label);
            port->refuseWrites = radio.fails;
            QTest::keyClick(label, Qt::Key_Return);
            if (radio.typed && QByteArray(radio.typed) == "巡逻09") {   // scanned while it loads
                label->setText(QStringLiteral("巡逻20"));
                QTest::keyClick(label, Qt::Key_Return);
                QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("下一台"))->text(), QStringLiteral("下一台：巡逻20"));
            }
            ticks(window, 51);
            QCOMPARE(dialog->run()->state(), FleetRun::State::Ready);
            QVERIFY(!(grid->flags(grid->index(55, 4)) & Qt::ItemIsEditable));
            const TransferJournal::Entry last = TransferJournal::entries().first();
            loads << last.radio + u' ' + resultText(last.result);
        }
        QCOMPARE(loads, QStringList({ "巡逻09 完成", "巡逻20 完成", "巡逻21 失败", "巡逻21 完成", "巡逻22 完成" }));
        QVERIFY(table->item(2, 2)->text().startsWith(QStringLiteral("已重传，失败（没有传送）：串口 1（/dev/fake1）写入失败")));
        QCOMPARE(table->item(2, 0)->background().color(), DesignColours::radioRetried);
        QCOMPARE(table->item(3, 0)->background().style(), Qt::NoBrush);
        ticks(window, 14);
        emit port->failed(QStringLiteral("设备已拔出"));   // between radios
        QVERIFY(table->item(5, 2)->text().startsWith(QStringLiteral("串口 1（/dev/fake1）出现故障，已关闭：设备已拔出")));
        QCOMPARE(boxes.seen, QStringList());
        QCOMPARE(QApplication::focusWidget(), label);

        // Closing during a load asks; No goes on, Yes breaks it off, frees the plan and shows the summary.
        port->refuseWrites = false;
        QTest::keyClick(label, Qt::Key_Return);
        ticks(window, 5);
        boxes.setAnswer(QMessageBox::No);
        dialog->close();
        QVERIFY(dialog && window.transfer()->isRunning());
        boxes.setAnswer(QMessageBox::Yes);
        dialog->close();
        QVERIFY(boxes.texts().last().startsWith(QStringLiteral("正在传送数据（已发送 5 帧，共 51 帧）。")));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("状态"))->text().section(u'。', 0, 0),
                 QStringLiteral("连续传送结束：完成 4，失败 1，重传 1"));
        const TransferJournal::Entry broken = TransferJournal::entries().first();
        QCOMPARE(std::tuple(broken.radio, broken.result, broken.detail),
                 std::tuple(QStringLiteral("巡逻23"), LoadResult::Interrupted, QStringLiteral("连续传送已关闭")));
        QVERIFY(grid->flags(grid->index(55, 4)) & Qt::ItemIsEditable);
        dialog->close();
        QTRY_VERIFY(!dialog);
        menuItem(&window, "传送")->trigger();   // 数据传送 names no radio
        ticks(window, 65);
        QCOMPARE(TransferJournal::entries().first().radio, QString());
    }

    // Another program changes the plan: the run pauses and shows the change;
    // 继续 asks about the new plan's warnings and goes on with it.
    void fleetPausesWhenThePlanChanges()
    {
        FleetRig rig;
        MainWindow &window = rig.window;
        MessageBoxes boxes;
        QPointer<FleetDialog> dialog = openFleet(window);
        QVERIFY(dialog);
        otherProgram(rig.file.path(), QStringLiteral("UPDATE 信道表 SET 信道号 = 1 WHERE rowid = 2"));
        QTRY_COMPARE(dialog->run()->state(), FleetRun::State::PlanChanged);
        const QString shown = dialog->findChild<QPlainTextEdit *>(QStringLiteral("改动"))->toPlainText();
        QVERIFY2(shown.startsWith(QStringLiteral("第 2 行 信道 2：信道号 2 → 1\n")), qPrintable(shown));
        QVERIFY(shown.endsWith(QStringLiteral("新传送校验：") + dialog->run()->newPlan().checksum()));
        auto *label = dialog->findChild<QLineEdit *>(QStringLiteral("电台"));
        QTest::keyClick(label, Qt::Key_Return);
        QCOMPARE(dialog->run()->radios().size(), 0);
        boxes.answerText = QStringLiteral("仍然传送(&Y)");
        dialog->findChild<QPushButton *>(QStringLiteral("继续"))->click();
        QVERIFY(boxes.texts().last().contains(QStringLiteral("信道号 1 与第 1 行相同")));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("传送校验"))->text(), dialog->run()->newPlan().checksum());
        QTest::keyClick(label, Qt::Key_Return);
        ticks(window, 51);
        QCOMPARE(std::pair(TransferJournal::entries().first().sha256, TransferJournal::entries().first().warnings),
                 std::pair(dialog->run()->newPlan().checksum(), 1));
        QCOMPARE(dialog->findChild<QTableWidget *>()->item(0, 0)->text(), QStringLiteral("信道表"));
        dialog->close();
        dialog->close();
    }

    // 导入电台清单…: a GBK CSV with the labels in its second column, one
    // repeated; the field offers them in order and the list ticks them off;
    // the counts pick their lines; 复制 and 打印本次报告… take this run only.
    void fleetRunsThroughAList()
    {
        FleetRig rig;
        FakeSerialLink *port = rig.port;
        MainWindow &window = rig.window;
        MessageBoxes boxes;
        menuItem(&window, "传送")->trigger();   // before the run: not in its report
        ticks(window, 65);
        const QString list = writeFile(rig.home.path(QStringLiteral("车队.csv")),
                                       QStringEncoder("GB18030").encode(QStringLiteral("序号,电台\n1,巡逻01\n2,巡逻02\n3,巡逻01\n4,巡逻03\n5,巡逻04\n")));
        const QString pdf = rig.home.path(QStringLiteral("本次.pdf"));
        FleetDialog *dialog = openFleet(window);
        QVERIFY(dialog);
        QString answer = list;
        QTimer answering;
        connect(&answering, &QTimer::timeout, dialog, [&answer] {
            auto *column = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (column && column->textValue() == QStringLiteral("第 2 列：电台"))   // the column so named is offered
                column->accept();
            else if (!column)
                answerFileDialog(answer);
        });
        answering.start(10);
        dialog->findChild<QPushButton *>(QStringLiteral("导入电台清单"))->click();
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("说明"))->text(), QStringLiteral("读入 4 台电台（GBK/GB18030 编码），略去 1 个重复。"));
        auto *label = dialog->findChild<QLineEdit *>(QStringLiteral("电台"));
        QStringList marks;   // the list's item of each radio once its load has ended
        for (bool fails : { false, true, false }) {
            port->refuseWrites = fails;
            QTest::keyClick(label, Qt::Key_Return);
            ticks(window, 51);
            marks << dialog->findChild<QListWidget *>()->item(int(marks.size()))->text();
        }
        QCOMPARE(marks, QStringList({ "✓ 巡逻01", "✗ 巡逻02", "✓ 巡逻03" }));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("清单进度"))->text(), QStringLiteral("电台清单 2 / 4"));
        QCOMPARE(label->text(), QStringLiteral("巡逻04"));
        auto *summary = dialog->findChild<QLabel *>(QStringLiteral("小结"));
        QCOMPARE(QTextDocumentFragment::fromHtml(summary->text()).toPlainText(), QStringLiteral("完成 2，失败 1，未传送 1，重传 0"));
        emit summary->linkActivated(QStringLiteral("1"));
        auto *table = dialog->findChild<QTableWidget *>();
        QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 1);
        emit summary->linkActivated(QStringLiteral("2"));
        QCOMPARE(dialog->findChild<QListWidget *>()->selectedItems().value(0)->text(), QStringLiteral("   巡逻04"));
        dialog->findChild<QPushButton *>(QStringLiteral("复制"))->click();
        const QVector<QStringList> copied = Tsv::read(QGuiApplication::clipboard()->text());
        QCOMPARE(copied.size(), 4);
        QCOMPARE(copied.at(2).at(0) + copied.at(2).at(2).left(2), QStringLiteral("巡逻02失败"));
        answer = pdf;
        dialog->findChild<QPushButton *>(QStringLiteral("打印本次报告"))->click();
        QString text;
        QCOMPARE(run({ "-layout", pdf, "-" }, {}, &text, QStringLiteral("pdftotext")), 0);
        QVERIFY2(text.contains(QStringLiteral("电台 3 部，传送 3 次")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("传送记录校验链头：") + JournalReading().head().left(16)));
        QCOMPARE(boxes.seen, QStringList());
        dialog->close();
        dialog->close();
    }

    // The cable is pulled out between two radios: the next Enter waits for the
    // same adapter (its by-id link) to come back on another node, then loads.
    void fleetWaitsForTheSameCable()
    {
        OwnHome home;
        QTemporaryDir byId;
        const QString link = byId.filePath(QStringLiteral("usb-1a86_USB_Serial-if00-port0"));
        auto cable = std::make_unique<Pty>();
        QVERIFY(QFile::link(cable->device(), link));
        qputenv("QT7020_COM1", link.toLocal8Bit());
        TestDatabase file(TestDatabase::numberedRows(60));
        MainWindow window(std::make_unique<QtSerialLink>(), file.path());
        MessageBoxes boxes;
        window.load();
        FleetDialog *dialog = openFleet(window);
        QVERIFY(dialog);
        for (int radio = 1; radio <= 2; ++radio) {
            QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("电台")), Qt::Key_Return);
            if (radio == 2) {
                QTRY_COMPARE(dialog->run()->state(), FleetRun::State::WaitingForCable);
                QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("状态"))->text().startsWith(QStringLiteral("请插上数据线…")));
                cable = std::make_unique<Pty>();
                QVERIFY(QFile::link(cable->device(), link));
                // Back and ready, but loaded only on the operator's word.
                QTRY_COMPARE(dialog->run()->state(), FleetRun::State::Ready);
                QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("状态"))->text().startsWith(QStringLiteral("数据线已接好")));
                QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("电台")), Qt::Key_Return);
                QCOMPARE(dialog->run()->state(), FleetRun::State::Loading);
            }
            ticks(window, 51);
            QCOMPARE(cable->read(16 * 51).size(), 16 * 51);
            QTRY_COMPARE(dialog->run()->state(), FleetRun::State::Ready);
            const TransferJournal::Entry last = TransferJournal::entries().first();
            QCOMPARE(std::tuple(last.radio, last.result, last.device),
                     std::tuple(QStringLiteral("电台 %1").arg(radio), LoadResult::Done, cable->device()));
            cable.reset();   // pulled out: the node goes, and its link with it
            QFile::remove(link);
        }
        // Out again at the next Enter: 停止 gives up waiting, and nothing went out to journal.
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("电台")), Qt::Key_Return);
        QCOMPARE(dialog->run()->state(), FleetRun::State::WaitingForCable);
        dialog->findChild<QPushButton *>(QStringLiteral("停止"))->click();
        QCOMPARE(std::pair(dialog->run()->state(), dialog->findChild<QTableWidget *>()->rowCount()),
                 std::pair(FleetRun::State::Ready, 2));
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("电台"))->text(), QStringLiteral("电台 3"));   // still the operator's
        QCOMPARE(TransferJournal::entries().size(), 2);
        QCOMPARE(boxes.seen, QStringList());   // a cable pulled is said in the run, not in a box
        qunsetenv("QT7020_COM1");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
