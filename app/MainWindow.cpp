#include "MainWindow.h"

#include "BandProfiles.h"
#include "ChannelCursor.h"
#include "ChannelDatabase.h"
#include "ChannelEditor.h"
#include "ChannelGrid.h"
#include "ChannelStore.h"
#include "ChannelTableModel.h"
#include "DesignedControls.h"
#include "FileFollower.h"
#include "FileMenu.h"
#include "FleetDialog.h"
#include "FileSession.h"
#include "PlanCheckDialog.h"
#include "PortCommands.h"
#include "PortList.h"
#include "RowCheck.h"
#include "SerialLink.h"
#include "SignalWatch.h"
#include "SystemMessage.h"
#include "TransferController.h"
#include "TransferQuestions.h"
#include "WindowIcon.h"
#include "WindowMenus.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolTip>

const QString MainWindow::port1InUse = QStringLiteral("串行端口 1已被其它设备使用，请选择 COM2 ");

MainWindow::MainWindow(std::unique_ptr<SerialLink> port, const QString &databasePath)
    : m_port(std::move(port))
    , m_session(new FileSession(databasePath, this))
    , m_store(m_session->store())
    , m_editor(m_session->editor())
    , m_table(new ChannelTableModel(m_editor, this))
    , m_cursor(new ChannelCursor(m_store, m_table, this))
    , m_transfer(new TransferController(m_store, m_port.get(), this))
    , m_ports(new PortCommands(m_port.get(), this))
{
    setObjectName(QStringLiteral("启动窗体"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(radioIcon());
    m_table->setSentRows(LoadPlan::rowsSent);
    applyBand(BandProfiles::saved(&m_bandNotice));
    m_port->setObjectName(QStringLiteral("MSComm1"));
    m_transfer->setPortList(m_ports->portList());

    buildControls();
    m_menus = new WindowMenus(this);
    m_files = m_menus->files();
    m_send = m_menus->item("传送");
    refreshFileMenu();
    connect(m_session, &FileSession::statusChanged, m_status, &QLabel::setText);
    connect(m_session, &FileSession::ready, this, [this] {
        if (m_loaded)
            tableReady();
    });
    connect(m_session, &FileSession::switched, this, &MainWindow::switched);
    m_session->openFirst();
    updateTitle();
    connect(m_transfer, &TransferController::statusChanged, m_status, &QLabel::setText);
    connect(m_transfer, &TransferController::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_transfer, &TransferController::sendingChanged, this, &MainWindow::followLoad);
    // The cursor walks the rows as their frames go out: after row n, row n + 1.
    connect(m_transfer, &TransferController::frameSent, m_cursor, [this](int row) { m_cursor->moveTo(row + 1); });
    connect(m_transfer, &TransferController::report, this, &MainWindow::say);
    connect(m_port.get(), &SerialLink::failed, m_transfer, &TransferController::portFailed);
    connect(m_grid, &ChannelGrid::editRefused, this, [this] { refuseChange(m_store->refusalReason()); },
            Qt::QueuedConnection);
    connect(m_editor, &ChannelEditor::refused, this, &MainWindow::refuseChange, Qt::QueuedConnection);
    // The program can end without the window closing: a signal, the session's end.
    connect(new SignalWatch(this), &SignalWatch::received, this, &MainWindow::endOnSignal);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { writeSideFile(); });
    connect(qGuiApp, &QGuiApplication::aboutToQuit, this, [this] {
        writeSideFile();
        m_transfer->interrupt(QStringLiteral("程序结束"));
    });
    connect(m_transfer, &TransferController::concluded, this, &MainWindow::showLastResult);
    // Shown after the edit has finished, not from inside the grid's commit.
    connect(m_editor, &ChannelEditor::saveFailed, this, &MainWindow::say, Qt::QueuedConnection);
    connect(m_store, &ChannelStore::becameStale, this, &MainWindow::fileLost, Qt::QueuedConnection);
    connect(m_editor, &ChannelEditor::conflicted, this, &MainWindow::resolveConflict, Qt::QueuedConnection);
}

// The designed status label empties itself 1.4 s after a load; the line under
// the window keeps what the last one came to.
void MainWindow::showLastResult(LoadResult result)
{
    m_lastResult->setText(QStringLiteral("上次传送 %1，%2 帧，%3")
                                  .arg(QTime::currentTime().toString(QStringLiteral("HH:mm")))
                                  .arg(m_transfer->framesSent())
                                  .arg(resultText(result)));
}

// While the frames go out the grid shows the row being sent and takes no
// change; the moment the sequence is at rest it is the operator's again.
void MainWindow::followLoad(bool sending)
{
    m_grid->setFollowing(sending);
    m_cursor->moveFirst();
}

// Every check and every tint from now on holds the rows to `band`.
void MainWindow::applyBand(const BandProfile &band)
{
    m_transfer->setBand(band);
    m_table->setRowCheck([band](const ChannelRow &row) { return checkRow(row, band); });
    m_table->setPlanWarnings([band](ChannelStore &store) { return LoadPlan::of(store, band).crossRowMarks(); });
}

void MainWindow::resolveConflict(const QString &message)
{
    if (askSystemChoice(this, message, QStringLiteral("使用我的值"), QStringLiteral("保留文件中的值")) == QMessageBox::Yes)
        m_editor->useMine();
    else
        m_editor->keepFileValues();
}

MainWindow::~MainWindow()
{
    m_transfer->interrupt(QStringLiteral("窗口已关闭"));
}

void MainWindow::buildControls()
{
    auto *client = new DesignedControls(m_cursor, this);
    setCentralWidget(client);
    m_date = client->date();
    m_status = client->status();
    m_progress = client->progress();
    m_grid = client->grid();
    m_lastResult = new QLabel(this);
    m_lastResult->setObjectName(QStringLiteral("lastResult"));
    statusBar()->addWidget(m_lastResult, 1);
    statusBar()->setSizeGripEnabled(false);
}

// Plain "QT7020" for the file the radio's own program always used.
void MainWindow::updateTitle()
{
    const QFileInfo file(m_session->path());
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
    return mayLeaveFile() && m_session->switchTo(path);
}

void MainWindow::switched()
{
    updateTitle();
    m_cursor->moveFirst();
    refreshFileMenu();
}

bool MainWindow::newFile(const QString &path)
{
    return mayLeaveFile() && m_session->create(path);
}

void MainWindow::saveAs(const QString &path)
{
    if (idleOrSayWhy())
        m_session->saveAs(path);
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
    if (!m_session->isReading())
        tableReady();

    m_send->setEnabled(true);

    if (!m_port->setPortNumber(1) || !m_port->open())
        showSystemMessage(this, m_ports->startUpWarning(port1InUse));
    if (!m_bandNotice.isEmpty())
        say(std::exchange(m_bandNotice, QString()));
    // A signal during a start-up message came before the program's own loop
    // started: that loop ends as soon as it runs.
    if (m_ending)
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

// The table is open, or could not be: first row, or why not; then edits kept
// from an earlier run.
void MainWindow::tableReady()
{
    // A database problem is named as such; the port is still opened, since
    // it has nothing to do with the file.
    if (!m_cursor->moveFirst())
        m_files->offerAnother(m_session->unusableMessage());
    else
        m_session->offerKeptEdits();
    refreshFileMenu();
}

void MainWindow::startTransfer()
{
    if (m_session->isReading()) {   // the rows shown are about to go
        idleOrSayWhy();
        return;
    }
    if (!TransferQuestions::mayBreak(this, m_transfer, QStringLiteral("要中断这次传送，从第 1 行重新开始吗？")))
        return;
    // A refused plan goes to the controller too, which says why and journals
    // it; one with no file behind it has the way to a file offered instead.
    const std::optional<LoadPlan> plan = planToSend();
    if (plan && !plan->isSendable() && m_store->isMissing())
        offerSaveAs(plan->refusal());
    else if (plan)
        m_transfer->start(*plan, plan->warningCount());
}

void MainWindow::startFleet()
{
    if (!idleOrSayWhy())
        return;
    const std::optional<LoadPlan> plan = planToSend();
    if (plan && !plan->isSendable() && m_store->isMissing())
        offerSaveAs(plan->refusal());
    else if (plan && !plan->isSendable())
        say(plan->refusal());
    else if (plan)
        m_fleet = FleetDialog::open(this, m_transfer, *plan, m_store, m_ports);
}

// The way to a load, the same for 数据传送 and 连续传送: what the grid holds
// goes to the file first, the file is read again, and the plan is worked out
// once; a sendable plan then has the port and its warnings asked about. A
// refused plan comes back as it is, with the cursor where the mending
// starts; nothing when the operator said no.
std::optional<LoadPlan> MainWindow::planToSend()
{
    m_grid->commitPendingEdit();
    if (m_store->unsavedCount() > 0)
        m_editor->saveUnsaved();   // the file may take now what it refused before
    m_session->follower()->check();   // what the file holds now, not what the grid last read
    LoadPlan plan = m_transfer->prepare();
    if (!plan.isSendable()) {
        if (plan.firstBadRow() > 0)
            m_cursor->moveTo(plan.firstBadRow());
        return plan;
    }
    if (!m_ports->portLooksRight() || !TransferQuestions::warningsAccepted(this, plan.warningLines(), plan.summary()))
        return std::nullopt;
    return plan;
}

void MainWindow::say(const QString &message)
{
    if (m_fleet)
        m_fleet->report(message);
    else
        showSystemMessage(this, message);
}

// The rows no longer have a file, or have another than the one opened.
void MainWindow::fileLost(const QString &message)
{
    if (m_fleet)
        m_fleet->report(message);
    else if (m_store->isMissing())
        offerSaveAs(message);
    else
        say(message);
}

// What the window shows is in no file: saving it as one is the way back.
void MainWindow::offerSaveAs(const QString &message)
{
    if (askSystemChoice(this, message, QStringLiteral("另存为…"), QStringLiteral("关闭")) == QMessageBox::Yes)
        m_files->chooseSaveAs();
}

// A transfer refuses for a moment only: said beside the grid, not in a box.
void MainWindow::refuseChange(const QString &reason)
{
    if (reason.isEmpty())
        return;
    if (m_transfer->isSending())
        QToolTip::showText(m_grid->mapToGlobal(m_grid->rect().center()), reason, m_grid, {}, 2500);
    else
        showSystemMessage(this, reason);
}

void MainWindow::checkTable()
{
    m_grid->commitPendingEdit();
    auto *dialog = new PlanCheckDialog([this] { return m_transfer->prepare(); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PlanCheckDialog::cellRequested, this, [this](int row, int column) {
        m_cursor->setCurrentIndex(m_table->index(row, column), QItemSelectionModel::ClearAndSelect);
        m_grid->scrollTo(m_table->index(row, column));
        m_grid->setFocus();
    });
    dialog->show();
}

void MainWindow::openLoopbackDialog()
{
    if (idleOrSayWhy())
        m_ports->openLoopbackDialog();
}

// True when the window may close: every edit is in the file, or the operator
// chose to drop those the file refuses.
bool MainWindow::maybeClose()
{
    m_grid->commitPendingEdit();
    return m_session->settleEdits();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!TransferQuestions::mayBreak(this, m_transfer, QStringLiteral("现在退出，其余的帧不再发送，对讲机中的信道将不完整。\n仍要退出吗？"))
        || !maybeClose()) {
        event->ignore();
        return;
    }
    m_transfer->interrupt(QStringLiteral("退出系统"));   // no frame after the window is gone
    m_ports->closePortDialog();
    event->accept();
}

void MainWindow::writeSideFile(bool last)
{
    m_grid->commitPendingEdit();
    m_session->writeSideFile(last);
}

void MainWindow::endOnSignal(int signal)
{
    writeSideFile(true);   // written once is enough; aboutToQuit follows
    m_transfer->interrupt(QStringLiteral("收到 %1，程序结束").arg(SignalWatch::describe(signal)));
    m_ending = true;
    QCoreApplication::exit(0);   // every loop that runs now, message boxes included
}

PortDialog *MainWindow::portDialog() const
{
    return m_ports->portDialog();
}

// True when the table may be replaced now; otherwise says why not.
bool MainWindow::idleOrSayWhy()
{
    if (m_session->isReading()) {
        say(m_session->waitForReading());
        return false;
    }
    if (m_transfer->isRunning())
        showSystemMessage(this, QStringLiteral("正在传送数据，请在传送结束后再操作。"));
    return !m_transfer->isRunning();
}

QString MainWindow::databasePath() const
{
    return m_session->path();
}

void MainWindow::setPortList(std::unique_ptr<PortList> list)
{
    m_ports->setPortList(std::move(list));
    m_transfer->setPortList(m_ports->portList());
}

void MainWindow::refreshFileMenu()
{
    m_files->setFolder(QFileInfo(m_session->path()).absolutePath());
    m_files->refresh();
}

void MainWindow::importTable()
{
    m_grid->commitPendingEdit();
    if (idleOrSayWhy() && m_session->importTable())
        m_cursor->moveFirst();
}

void MainWindow::convertFile()
{
    if (idleOrSayWhy() && m_session->convert())
        m_cursor->moveFirst();
}
