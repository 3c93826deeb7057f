#include "FileSession.h"

#include "ChannelDatabase.h"
#include "ChannelEditor.h"
#include "ChannelExchange.h"
#include "ChannelFileKind.h"
#include "ChannelSheet.h"
#include "ChannelStore.h"
#include "FileFollower.h"
#include "JetReader.h"
#include "RecentFiles.h"
#include "SystemMessage.h"
#include "UnsavedEdits.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <utility>

FileSession::FileSession(const QString &path, QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_path(path)
    , m_store(new ChannelStore(this))
    , m_editor(new ChannelEditor(m_store, this))
    , m_follower(new FileFollower(m_store, this))
    , m_jetReader(new JetReader(this))
{
    m_store->setObjectName(QStringLiteral("Adodc1"));
    connect(m_jetReader, &JetReader::finished, this, &FileSession::jetRead);
}

bool FileSession::isReading() const
{
    return m_jetReader->isRunning();
}

QString FileSession::waitForReading() const
{
    const QString reading = m_switchingTo.isEmpty() ? m_path : m_switchingTo;
    return QStringLiteral("正在读取 %1，请稍候再操作。").arg(QFileInfo(reading).fileName());
}

void FileSession::openFirst()
{
    reopen();
    if (!isReading() && m_store->isOpen())   // the file named at start, "Open with" included
        RecentFiles::add(m_path);
}

void FileSession::reopen()
{
    if (isJet(channelFileKind(m_path)))
        readInBackground(m_path);
    else
        m_store->open(m_path);
}

// A damaged Access file may take the reader's whole time limit; the window
// stays usable meanwhile.
void FileSession::readInBackground(const QString &path)
{
    emit statusChanged(QStringLiteral("正在读取 %1……").arg(QFileInfo(path).fileName()));
    m_jetReader->start(path, ChannelDatabase::tableName);
}

void FileSession::jetRead()
{
    emit statusChanged(QString());
    if (m_switchingTo.isEmpty()) {
        if (m_store->open(m_path, *m_jetReader))
            RecentFiles::add(m_path);
        emit ready();
        return;
    }
    const QString path = std::exchange(m_switchingTo, QString());
    m_readingLock.release();
    ChannelStore probe;
    if (!probe.open(path, *m_jetReader)) {
        refuse(path, probe.errorString());
        return;
    }
    m_store->open(path, *m_jetReader);
    openedAs(path);
}

// A file that cannot be used is named, and the one open stays.
bool FileSession::switchTo(const QString &path)
{
    if (isJet(channelFileKind(path))) {
        m_switchingTo = path;
        m_readingLock = m_store->lock(waitForReading());
        readInBackground(path);
        return true;
    }
    ChannelStore probe;
    if (!probe.open(path))
        return refuse(path, probe.errorString());
    m_store->open(path);
    openedAs(path);
    return true;
}

void FileSession::openedAs(const QString &path)
{
    m_path = path;
    m_unsavedDropped = false;
    RecentFiles::add(path);
    emit switched();
}

bool FileSession::refuse(const QString &path, const QString &cause)
{
    showSystemMessage(m_window, QStringLiteral("信道文件 %1 不能使用：%2。")
                                        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), cause));
    return false;
}

bool FileSession::create(const QString &path)
{
    return make(path, ChannelFields::names(), {});
}

bool FileSession::saveAs(const QString &path)
{
    return make(path, m_store->fieldNames(), m_store->allRows());
}

// A new channel file of `rows`, never over one that is there, then opened.
bool FileSession::make(const QString &named, const QStringList &fields, const QVector<QVariantList> &rows)
{
    // "fleet-b" is meant as a channel file, and 打开信道文件… lists those by their .mdb.
    const QString path = QFileInfo(named).suffix().isEmpty() ? named + QStringLiteral(".mdb") : named;
    QString error;
    if (QFileInfo::exists(path))
        error = QStringLiteral("文件已存在，不会覆盖");
    else if (!ChannelDatabase::create(path, fields, rows, &error))
        QFile::remove(path);   // no half-made file left behind
    if (!error.isEmpty()) {
        showSystemMessage(m_window,
                          QStringLiteral("不能新建信道文件 %1：%2。").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    return switchTo(path);
}

QString FileSession::unusableMessage() const
{
    const QFileInfo file(m_path);
    const QString cause = m_store->isOpen() ? QStringLiteral("信道表中没有数据") : m_store->errorString();
    return QStringLiteral("信道文件 %1 不能使用（查找位置：%2）：%3。")
            .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()), cause);
}

bool FileSession::settleEdits()
{
    while (m_store->unsavedCount() > 0 && !m_editor->saveUnsaved()) {
        const int answer = askSystemQuestion(
                m_window,
                QStringLiteral("有 %1 处修改未能保存到 %2：%3\n\n重试保存，还是放弃这些修改？")
                        .arg(m_store->unsavedCount())
                        .arg(m_store->fileName(), m_store->saveError()),
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

void FileSession::writeSideFile(bool last)
{
    if (!m_unsavedDropped && m_store->isOpen()) {
        const ChannelExchange::Outcome outcome = UnsavedEdits::writeSideFile(*m_store);
        if (!outcome.message.isEmpty())
            qWarning("%s", qPrintable(outcome.message));
    }
    m_unsavedDropped = m_unsavedDropped || last;   // written once is enough when the end follows
}

// Keeping what the file holds now is the answer a closed box or Enter gives:
// another program's change is not overwritten unasked.
static bool overwriteChanged(QWidget *window, const QString &fileName, const QStringList &changed)
{
    constexpr int shown = 10;
    QString text = QStringLiteral("保存的修改中，有 %1 处在 %2 中已被其他程序改动：\n").arg(changed.size()).arg(fileName)
            + changed.mid(0, shown).join(u'\n');
    if (changed.size() > shown)
        text += QStringLiteral("\n另有 %1 处。").arg(changed.size() - shown);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text, QMessageBox::Yes | QMessageBox::No, window);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("仍然写入"));
    box.button(QMessageBox::No)->setText(QStringLiteral("保留文件中的值"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void FileSession::offerKeptEdits()
{
    if (m_store->isReadOnly())
        return;
    for (const QString &side : UnsavedEdits::keptFiles(m_path)) {
        const QString question = QStringLiteral("上次退出时，有修改未能保存到 %1，已另存在 %2。\n现在把这些修改写入 %1 吗？")
                                         .arg(m_store->fileName(), UnsavedEdits::shownName(side, m_path));
        if (askSystemQuestion(m_window, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            != QMessageBox::Yes)
            continue;
        const auto overwrite = [this](const QStringList &changed) {
            return overwriteChanged(m_window, m_store->fileName(), changed);
        };
        showSystemMessage(m_window, UnsavedEdits::apply(*m_editor, side, overwrite).message);
    }
}

void FileSession::exportTable()
{
    QString filter;
    const QString ours = QStringLiteral("信道表 CSV (*.csv)");
    const QString file = QFileDialog::getSaveFileName(m_window, QStringLiteral("导出信道表"),
                                                      QStringLiteral("char4.csv"),
                                                      ours + QStringLiteral(";;CHIRP CSV (*.csv)"), &filter);
    if (file.isEmpty())
        return;
    const auto format = filter == ours ? ChannelExchange::Format::Ours : ChannelExchange::Format::Chirp;
    showSystemMessage(m_window, ChannelExchange::exportTo(*m_store, file, format).message);
}

bool FileSession::importTable()
{
    const QString file = QFileDialog::getOpenFileName(m_window, QStringLiteral("导入信道表"), QString(),
                                                      QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (file.isEmpty())
        return false;
    const ChannelExchange::Import import = ChannelExchange::read(file);
    if (!import.ok) {
        showSystemMessage(m_window, import.message);
        return false;
    }
    const QString question = ChannelExchange::question(*m_store, import);
    if (askSystemQuestion(m_window, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return false;
    const ChannelExchange::Outcome outcome = ChannelExchange::apply(*m_store, import);
    showSystemMessage(m_window, outcome.message);
    return outcome.ok;
}

bool FileSession::convert()
{
    const ChannelExchange::Outcome outcome = ChannelExchange::convert(m_path);
    if (outcome.ok)
        reopen();
    showSystemMessage(m_window, outcome.message);
    return outcome.ok;
}

void FileSession::printSheet(const LoadPlan &plan)
{
    const ChannelSheet sheet(m_store->allRows(), plan, m_store->fileName(), QDate::currentDate());
    QPrinter printer;
    printer.setDocName(QStringLiteral("QT7020 信道表"));
    QPrintPreviewDialog preview(&printer, m_window);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&sheet](QPrinter *p) { sheet.print(p); });
    preview.exec();
}
