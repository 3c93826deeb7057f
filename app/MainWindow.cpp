#include "MainWindow.h"

#include "ChannelDatabase.h"
#include "ChannelExchange.h"
#include "ChannelFields.h"
#include "ChannelSheet.h"
#include "RecentFiles.h"
#include "TransferJournal.h"
#include "SystemMessage.h"
#include "TextColour.h"
#include "DesignFonts.h"
#include "Twips.h"
#include "WindowIcon.h"
#include "ChannelCursor.h"
#include "ChannelGrid.h"
#include "ChannelEditor.h"
#include "ChannelStore.h"
#include "ChannelTableModel.h"
#include "FileFollower.h"
#include "DeviceDialog.h"
#include "LoopbackDialog.h"
#include "PlanCheckDialog.h"
#include "JetReader.h"
#include "PortDialog.h"
#include "PortMapping.h"
#include "SystemPortList.h"
#include "SerialLink.h"
#include "RowCheck.h"
#include "TransferController.h"
#include "TransferPlan.h"
#include "TransferSequence.h"
#include "SignalWatch.h"
#include "UnsavedEdits.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QDialog>
#include <QVBoxLayout>
#include <utility>
#include <QProgressBar>
#include <QToolTip>
#include <QSessionManager>
#include <QTimer>

const QString MainWindow::port1InUse = QStringLiteral("串行端口 1已被其它设备使用，请选择 COM2 ");

static const QString kai = QStringLiteral("楷体_GB2312");
static const QString song = QStringLiteral("宋体");

static QLabel *label(QWidget *parent, const char *name, const QString &text, const QFont &font,
                     const QColor &textColour)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    DesignColours::setTextColour(l, textColour);
    return l;
}

MainWindow::MainWindow(std::unique_ptr<SerialLink> port, const QString &databasePath)
    : m_databasePath(databasePath)
    , m_port(std::move(port))
    , m_channels(new ChannelStore(this))
    , m_editor(new ChannelEditor(m_channels, this))
    , m_follower(new FileFollower(m_channels, this))
    , m_table(new ChannelTableModel(m_editor, this))
    , m_cursor(new ChannelCursor(m_channels, m_table, this))
    , m_transfer(new TransferController(m_cursor, m_port.get(), this))
    , m_portList(std::make_unique<SystemPortList>())
    , m_jetReader(new JetReader(this))
{
    connect(m_jetReader, &JetReader::finished, this, &MainWindow::jetRead);
    setObjectName(QStringLiteral("启动窗体"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(radioIcon());
    m_channels->setObjectName(QStringLiteral("Adodc1"));
    m_table->setRowCheck(checkRow);
    m_table->setSentRows(TransferPlan::rowsSent);
    m_port->setObjectName(QStringLiteral("MSComm1"));

    buildControls();
    buildMenu();
    openDatabase();
    updateTitle();
    connect(transfer(), &TransferSequence::statusChanged, m_status, &QLabel::setText);
    connect(transfer(), &TransferSequence::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_transfer, &TransferController::report, this, &MainWindow::say);
    connect(m_port.get(), &SerialLink::failed, m_transfer, &TransferController::portFailed);
    connect(m_grid, &ChannelGrid::editRefused, this, [this] { refuseChange(m_channels->refusalReason()); },
            Qt::QueuedConnection);
    connect(m_editor, &ChannelEditor::refused, this, &MainWindow::refuseChange, Qt::QueuedConnection);
    // The program can end without the window closing: a signal, the session's end.
    connect(new SignalWatch(this), &SignalWatch::received, this, &MainWindow::endOnSignal);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &MainWindow::keepUnsaved);
    connect(qGuiApp, &QGuiApplication::aboutToQuit, this, &MainWindow::keepUnsaved);
    // Shown after the edit has finished, not from inside the grid's commit.
    connect(m_editor, &ChannelEditor::saveFailed, this, &MainWindow::say, Qt::QueuedConnection);
    // During a transfer its stop says it, with what went out.
    connect(m_channels, &ChannelStore::becameStale, this, [this](const QString &message) {
        if (!m_transfer->isRunning())
            QMetaObject::invokeMethod(this, [this, message] { say(message); }, Qt::QueuedConnection);
    });
    connect(m_editor, &ChannelEditor::conflicted, this, [this](const QString &message) {
        if (askSystemChoice(this, message, QStringLiteral("使用我的值"), QStringLiteral("保留文件中的值"))
            == QMessageBox::Yes)
            m_editor->useMine();
        else
            m_editor->keepFileValues();
    }, Qt::QueuedConnection);
}

MainWindow::~MainWindow()
{
    // The dialog reaches the port through this window: it goes with it.
    delete m_dialog.data();
    m_transfer->stop();
}

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(Twips::toPixels(11880, this), Twips::toPixels(7860, this));
    client->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *line = new QFrame(client);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(0, Twips::toPixels(120, this), Twips::toPixels(11880, this), 1);

    auto *frame = new QGroupBox(QStringLiteral("日期"), client);
    frame->setObjectName(QStringLiteral("Frame2"));
    frame->setFont(DesignFonts::font(kai, 15.75));
    DesignColours::setTextColour(frame, DesignColours::yellow);
    frame->setGeometry(Twips::rect(this, 600, 600, 2175, 735));
    m_date = label(frame, "Label8", QStringLiteral("Label8"), DesignFonts::font(kai, 12), DesignColours::red);
    m_date->setGeometry(Twips::rect(this, 240, 360, 1695, 255));

    auto *title = label(client, "Label1", QStringLiteral("信道设置系统"), DesignFonts::font(kai, 26.25),
                        DesignColours::blue);
    title->setGeometry(Twips::rect(this, 4200, 720, 3735, 855));
    auto *model = label(client, "Label3", QStringLiteral("(QT_7020)"), DesignFonts::font(song, 15.75),
                        DesignColours::blue);
    model->setGeometry(Twips::rect(this, 5160, 1440, 1695, 375));
    model->raise();   // in front where it overlaps the title, so it stays readable
    m_status = label(client, "Label2", QStringLiteral(" "), DesignFonts::font(kai, 15.75), DesignColours::blue);
    m_status->setGeometry(Twips::rect(this, 8040, 720, 3615, 375));

    m_progress = new QProgressBar(client);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(Twips::rect(this, 8280, 1440, 3255, 255));

    m_grid = new ChannelGrid(client);
    m_grid->setCursor(m_cursor);
    m_grid->setGeometry(Twips::rect(this, 2520, 2400, 7695, 5055));
    m_grid->setFocus();
}

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    auto item = [](QAction *action, const char *name) {
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    item(bar->addAction(QString(22, u' ') + QStringLiteral("对讲机型号(&D)")), "型号");
    m_send = item(bar->addAction(QString(8, u' ') + QStringLiteral("数据传送(&S)")), "传送");
    QMenu *system = bar->addMenu(QString(8, u' ') + QStringLiteral("系统设置(&X)"));
    system->setObjectName(QStringLiteral("系统"));
    item(system->menuAction(), "系统");
    QAction *port = item(system->addAction(QStringLiteral("选择端口")), "端口");
    item(system->addAction(QStringLiteral("波特率")), "波特率");
    QAction *devices = item(system->addAction(QStringLiteral("串口设备…")), "串口设备");
    QAction *loopback = item(system->addAction(QStringLiteral("检测数据线…")), "检测数据线");
    system->addSeparator();
    QAction *importItem = item(system->addAction(QStringLiteral("导入信道表…")), "导入");
    QAction *exportItem = item(system->addAction(QStringLiteral("导出信道表…")), "导出");
    QAction *convert = item(system->addAction(QStringLiteral("转换为新格式…")), "转换");
    system->addSeparator();
    QAction *check = item(system->addAction(QStringLiteral("检查信道表…")), "检查");
    buildFileMenu(system);
    QAction *exit = item(bar->addAction(QString(7, u' ') + QStringLiteral("退出系统(&T)")), "退出");
    item(bar->addAction(QString(7, u' ') + QStringLiteral("帮助(&B)")), "帮助");

    connect(m_send, &QAction::triggered, this, &MainWindow::startTransfer);
    connect(port, &QAction::triggered, this, &MainWindow::openPortDialog);
    connect(devices, &QAction::triggered, this, &MainWindow::openDeviceDialog);
    connect(loopback, &QAction::triggered, this, &MainWindow::openLoopbackDialog);
    connect(convert, &QAction::triggered, this, &MainWindow::convertFile);
    connect(importItem, &QAction::triggered, this, &MainWindow::importTable);
    connect(exportItem, &QAction::triggered, this, &MainWindow::exportTable);
    connect(check, &QAction::triggered, this, &MainWindow::checkTable);
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::buildFileMenu(QMenu *system)
{
    system->addSeparator();
    QAction *create = system->addAction(QStringLiteral("新建信道文件…"));
    create->setObjectName(QStringLiteral("新建"));
    QAction *open = system->addAction(QStringLiteral("打开信道文件…"));
    open->setObjectName(QStringLiteral("打开"));
    m_recent = system->addMenu(QStringLiteral("最近的文件"));
    m_recent->menuAction()->setObjectName(QStringLiteral("最近"));
    system->addSeparator();
    QAction *print = system->addAction(QStringLiteral("打印信道表…"));
    print->setObjectName(QStringLiteral("打印"));
    QAction *journal = system->addAction(QStringLiteral("传送记录…"));
    journal->setObjectName(QStringLiteral("传送记录"));

    connect(create, &QAction::triggered, this, &MainWindow::chooseNewFile);
    connect(open, &QAction::triggered, this, &MainWindow::chooseFileToOpen);
    connect(m_recent, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    connect(print, &QAction::triggered, this, &MainWindow::printSheet);
    connect(journal, &QAction::triggered, this, &MainWindow::showJournal);
    fillRecentMenu();
}

// Filled again each time it opens: another window may have opened files since.
void MainWindow::fillRecentMenu()
{
    m_recent->clear();
    for (const QString &path : RecentFiles::list()) {
        QAction *action = m_recent->addAction(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (m_recent->isEmpty())
        m_recent->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

// Plain "QT7020" for the file the radio's own program always used.
void MainWindow::updateTitle()
{
    const QFileInfo file(m_databasePath);
    const bool usual = file.absoluteFilePath() == QDir::current().absoluteFilePath(ChannelDatabase::defaultFileName);
    setWindowTitle(usual ? QStringLiteral("QT7020") : QStringLiteral("QT7020 - %1").arg(file.fileName()));
}

// The open file may be left: no transfer reads it and its edits are settled.
bool MainWindow::mayLeaveFile()
{
    return idleOrSayWhy() && maybeClose();
}

bool MainWindow::openFile(const QString &path)
{
    return mayLeaveFile() && switchTo(path);
}

// A file that cannot be used is named, and the one open stays. An Access file
// is read in the background first, as at start-up: the switch is made when the
// reading has ended, and the window answers meanwhile.
bool MainWindow::switchTo(const QString &path)
{
    if (isJet(channelFileKind(path))) {
        m_switchingTo = path;
        m_channels->setBusy(waitForReading());
        readInBackground(path);
        return true;
    }
    ChannelStore probe;
    if (!probe.open(path))
        return refuseFile(path, probe.errorString());
    m_databasePath = path;
    openDatabase();
    switched();
    return true;
}

bool MainWindow::refuseFile(const QString &path, const QString &cause)
{
    showSystemMessage(this, QStringLiteral("信道数据库 %1 不能使用：%2。")
                                    .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), cause));
    return false;
}

void MainWindow::switched()
{
    updateTitle();
    m_cursor->moveFirst();
    RecentFiles::add(m_databasePath);
    fillRecentMenu();
}

bool MainWindow::newFile(const QString &path)
{
    if (!mayLeaveFile())
        return false;
    QString error;
    if (QFileInfo::exists(path))
        error = QStringLiteral("文件已存在，不会覆盖");
    else if (!ChannelDatabase::create(path, ChannelFields::names(), {}, &error))
        QFile::remove(path);   // no half-made file left behind
    if (!error.isEmpty()) {
        showSystemMessage(this, QStringLiteral("不能新建信道文件 %1：%2。").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    return switchTo(path);
}

static const QString channelFiles = QStringLiteral("信道文件 (*.mdb *.db *.sqlite);;所有文件 (*)");

void MainWindow::chooseNewFile()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("新建信道文件"), QString(), channelFiles,
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        newFile(path);
}

void MainWindow::chooseFileToOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("打开信道文件"),
                                                      QFileInfo(m_databasePath).absolutePath(), channelFiles);
    if (!path.isEmpty())
        openFile(path);
}

void MainWindow::printSheet()
{
    m_grid->commitPendingEdit();
    const ChannelSheet sheet(m_channels->allRows(), m_channels->fileName(), QDate::currentDate());
    QPrinter printer;
    printer.setDocName(QStringLiteral("QT7020 信道表"));
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&sheet](QPrinter *p) { sheet.print(p); });
    preview.exec();
}

void MainWindow::showJournal()
{
    const QStringList lines = TransferJournal::lines();
    if (lines.isEmpty()) {
        showSystemMessage(this, QStringLiteral("还没有传送记录。"));
        return;
    }
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("传送记录"));
    auto *text = new QPlainTextEdit(lines.join(u'\n'), &dialog);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    dialog.resize(Twips::toPixels(11000, this), Twips::toPixels(5000, this));
    dialog.exec();
}

void MainWindow::openDatabase()
{
    if (!isJet(channelFileKind(m_databasePath))) {
        m_channels->open(m_databasePath);
        return;
    }
    readInBackground(m_databasePath);
}

// A damaged Access file may take the reader's whole time limit; the window
// stays usable meanwhile.
void MainWindow::readInBackground(const QString &path)
{
    m_status->setText(QStringLiteral("正在读取 %1……").arg(QFileInfo(path).fileName()));
    m_jetReader->start(path, ChannelDatabase::tableName);
}

QString MainWindow::waitForReading() const
{
    const QString reading = m_switchingTo.isEmpty() ? m_databasePath : m_switchingTo;
    return QStringLiteral("正在读取 %1，请稍候再操作。").arg(QFileInfo(reading).fileName());
}

void MainWindow::jetRead()
{
    m_status->setText(QString());
    if (!m_switchingTo.isEmpty()) {
        const QString path = std::exchange(m_switchingTo, QString());
        m_channels->setBusy(QString());
        ChannelStore probe;
        if (!probe.open(path, *m_jetReader)) {
            refuseFile(path, probe.errorString());
            return;
        }
        m_databasePath = path;
        m_channels->open(path, *m_jetReader);
        switched();
        return;
    }
    m_channels->open(m_databasePath, *m_jetReader);
    if (m_loaded)
        tableReady();
}

QString MainWindow::dateLine(const QDate &date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

void MainWindow::load(const QDate &today)
{
    show();

    m_date->setText(dateLine(today));

    m_loaded = true;
    if (!m_jetReader->isRunning())
        tableReady();

    m_send->setEnabled(true);

    if (!m_port->setPortNumber(1) || !m_port->open())
        showSystemMessage(this, m_port->withCause(port1InUse));
    // A signal during a start-up message came before the program's own loop
    // started: that loop ends as soon as it runs.
    if (m_ending)
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

// Whether the operator agrees to break off the running transfer, leaving the
// radio with only the frames sent so far; true when none runs.
bool MainWindow::mayBreakTransfer(const QString &consequence)
{
    if (!m_transfer->isRunning())
        return true;
    const QString text = QStringLiteral("正在传送数据（已发送 %1 帧，共 %2 帧）。\n%3")
                                 .arg(transfer()->framesSent())
                                 .arg(transfer()->framesExpected())
                                 .arg(consequence);
    return askSystemQuestion(this, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

// The table is open, or could not be: first row, or why not; then edits kept
// from an earlier run.
void MainWindow::tableReady()
{
    // A database problem is named as such; the port is still opened, since
    // it has nothing to do with the file.
    if (!m_cursor->moveFirst()) {
        const QFileInfo file(m_databasePath);
        const QString cause = m_channels->isOpen() ? QStringLiteral("信道表中没有数据")
                                                   : m_channels->errorString();
        showSystemMessage(this, QStringLiteral("信道数据库 %1 不能使用（查找位置：%2）：%3。")
                                        .arg(file.fileName(),
                                             QDir::toNativeSeparators(file.absolutePath()), cause));
    } else {
        offerKeptEdits();
    }

    if (m_channels->isOpen()) {   // the file named at start, "Open with" included
        RecentFiles::add(m_databasePath);
        fillRecentMenu();
    }
}

void MainWindow::setPortList(std::unique_ptr<PortList> list)
{
    m_portList = std::move(list);
}

void MainWindow::startTransfer()
{
    if (!m_switchingTo.isEmpty()) {   // the rows shown are about to go
        idleOrSayWhy();
        return;
    }
    if (!mayBreakTransfer(QStringLiteral("要中断这次传送，从第 1 行重新开始吗？")))
        return;
    m_grid->commitPendingEdit();
    m_follower->check();   // what the file holds now, not what the grid last read
    if (portLooksRight())
        m_transfer->start();
}

// On many PCs /dev/ttyS0 exists and swallows whatever is written to it, so a
// transfer "succeeds" while the USB cable stays silent. When nobody chose the
// on-board port and an adapter is plugged in, ask once before sending.
bool MainWindow::portLooksRight()
{
    const int number = m_port->portNumber();
    if (m_askedAboutPort || PortMapping::isChosen(number) || !PortMapping::isOnBoard(m_port->deviceName())
        || !m_portList->hasUsbAdapter())
        return true;
    m_askedAboutPort = true;
    const QString question =
            QStringLiteral("COM%1 现在是主板上的串行端口 %2，但电脑上插着 USB 串口线。\n"
                           "仍向 %2 传送吗？选“否”打开“串口设备…”，把数据线设为 COM%1。")
                    .arg(number)
                    .arg(m_port->deviceName());
    if (askSystemQuestion(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes)
        return true;
    openDeviceDialog();
    return false;
}

void MainWindow::say(const QString &message)
{
    showSystemMessage(this, message);
}

// A transfer refuses for a moment only: said beside the grid, not in a box.
void MainWindow::refuseChange(const QString &reason)
{
    if (reason.isEmpty())
        return;
    if (m_transfer->isRunning())
        QToolTip::showText(m_grid->mapToGlobal(m_grid->rect().center()), reason, m_grid, {}, 2500);
    else
        showSystemMessage(this, reason);
}

void MainWindow::checkTable()
{
    m_grid->commitPendingEdit();
    auto *dialog = new PlanCheckDialog(m_channels, TransferPlan::rowsSent, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PlanCheckDialog::cellRequested, this, [this](int row, int column) {
        m_cursor->setCurrentIndex(m_table->index(row, column), QItemSelectionModel::ClearAndSelect);
        m_grid->scrollTo(m_table->index(row, column));
        m_grid->setFocus();
    });
    dialog->show();
}

void MainWindow::openPortDialog()
{
    if (!m_dialog)
        m_dialog = new PortDialog(m_port.get());
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void MainWindow::openDeviceDialog()
{
    auto *dialog = new DeviceDialog(m_port.get(), m_portList.get(), this);
    dialog->setModal(true);
    dialog->show();
}

void MainWindow::openLoopbackDialog()
{
    if (!idleOrSayWhy())
        return;
    auto *dialog = new LoopbackDialog(m_port.get(), m_portList.get(), this);
    dialog->setModal(true);
    dialog->show();
}

// True when the window may close: every edit is in the file, or the operator
// chose to drop those the file refuses.
bool MainWindow::maybeClose()
{
    m_grid->commitPendingEdit();
    while (m_channels->unsavedCount() > 0 && !m_editor->saveUnsaved()) {
        const int answer = askSystemQuestion(
                this,
                QStringLiteral("有 %1 处修改未能保存到 %2：%3\n\n重试保存，还是放弃这些修改？")
                        .arg(m_channels->unsavedCount())
                        .arg(m_channels->fileName(), m_channels->saveError()),
                QMessageBox::Retry | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Retry);
        if (answer == QMessageBox::Discard) {
            m_unsavedDropped = true;
            return true;
        }
        // Cancel, or a box the end of the program closed unanswered.
        if (answer != QMessageBox::Retry)
            return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!mayBreakTransfer(QStringLiteral("现在退出，其余的帧不再发送，对讲机中的信道将不完整。\n仍要退出吗？"))
        || !maybeClose()) {
        event->ignore();
        return;
    }
    m_transfer->stop();   // no frame after the window is gone
    if (m_dialog)
        m_dialog->close();
    event->accept();
}

// The program ends without the operator: edits the file still refuses go
// beside it rather than nowhere.
void MainWindow::keepUnsaved()
{
    if (m_unsavedDropped || !m_channels->isOpen())
        return;
    m_grid->commitPendingEdit();
    const ChannelExchange::Outcome outcome = UnsavedEdits::keep(*m_channels);
    if (!outcome.message.isEmpty())
        qWarning("%s", qPrintable(outcome.message));
}

void MainWindow::endOnSignal()
{
    keepUnsaved();
    m_unsavedDropped = true;   // kept once is enough; aboutToQuit follows
    m_transfer->stop();
    m_ending = true;
    QCoreApplication::exit(0);   // every loop that runs now, message boxes included
}

// Edits kept from a run that ended before the file took them.
void MainWindow::offerKeptEdits()
{
    const QString side = UnsavedEdits::fileFor(m_databasePath);
    if (!QFileInfo::exists(side) || m_channels->isReadOnly())
        return;
    const QString question = QStringLiteral("上次退出时，有修改未能保存到 %1，已另存在 %2。\n现在把这些修改写入 %1 吗？")
                                     .arg(m_channels->fileName(), QFileInfo(side).fileName());
    if (askSystemQuestion(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes)
        showSystemMessage(this, UnsavedEdits::apply(*m_editor).message);
}

TransferSequence *MainWindow::transfer() const
{
    return m_transfer->sequence();
}

PortDialog *MainWindow::portDialog() const
{
    return m_dialog.data();
}

// True when the table may be replaced now; otherwise says why not.
bool MainWindow::idleOrSayWhy()
{
    if (m_jetReader->isRunning()) {
        say(waitForReading());
        return false;
    }
    if (m_transfer->isRunning())
        showSystemMessage(this, QStringLiteral("正在传送数据，请在传送结束后再操作。"));
    return !m_transfer->isRunning();
}

void MainWindow::exportTable()
{
    QString filter;
    const QString ours = QStringLiteral("信道表 CSV (*.csv)");
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("导出信道表"),
                                                      QStringLiteral("char4.csv"),
                                                      ours + QStringLiteral(";;CHIRP CSV (*.csv)"), &filter);
    if (file.isEmpty())
        return;
    m_grid->commitPendingEdit();
    const auto format = filter == ours ? ChannelExchange::Format::Ours : ChannelExchange::Format::Chirp;
    showSystemMessage(this, ChannelExchange::exportTo(*m_channels, file, format).message);
}

void MainWindow::importTable()
{
    if (!idleOrSayWhy())
        return;
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("导入信道表"), QString(),
                                                      QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (file.isEmpty())
        return;
    const ChannelExchange::Import import = ChannelExchange::read(file);
    if (!import.ok) {
        showSystemMessage(this, import.message);
        return;
    }
    m_grid->commitPendingEdit();
    const QString question = ChannelExchange::question(*m_channels, import);
    if (askSystemQuestion(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    const ChannelExchange::Outcome outcome = ChannelExchange::apply(*m_channels, import);
    if (outcome.ok)
        m_cursor->moveFirst();
    showSystemMessage(this, outcome.message);
}

void MainWindow::convertFile()
{
    if (!idleOrSayWhy())
        return;
    const ChannelExchange::Outcome outcome = ChannelExchange::convert(m_databasePath);
    if (outcome.ok) {
        openDatabase();
        m_cursor->moveFirst();
    }
    showSystemMessage(this, outcome.message);
}
