#include "HelpMenu.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpMenu::HelpMenu(QMenuBar *bar, QWidget *window)
    : QObject(window)
    , m_window(window)
{
    QMenu *help = bar->addMenu(QString(7, u' ') + QStringLiteral("帮助(&B)"));
    help->menuAction()->setObjectName(QStringLiteral("帮助"));
    QAction *manual = help->addAction(QStringLiteral("使用说明"), this, &HelpMenu::showManual);
    manual->setObjectName(QStringLiteral("使用说明"));
    manual->setShortcut(QKeySequence::HelpContents);
    // The menu is closed when F1 is pressed: the window must know the key itself.
    window->addAction(manual);
    help->addAction(QStringLiteral("关于"), this, &HelpMenu::showAbout)->setObjectName(QStringLiteral("关于"));
}

QString HelpMenu::manualHtml()
{
    QFile file(QStringLiteral(":/manual/manual.html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QDialog *HelpMenu::showManual()
{
    if (!m_manual) {
        m_manual = new QDialog(m_window);
        m_manual->setObjectName(QStringLiteral("使用说明"));
        m_manual->setWindowTitle(QStringLiteral("使用说明"));
        m_manual->setAttribute(Qt::WA_DeleteOnClose);
        auto *text = new QTextBrowser(m_manual);
        text->setHtml(manualHtml());
        auto *layout = new QVBoxLayout(m_manual);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(text);
        m_manual->resize(640, 560);
    }
    m_manual->show();
    m_manual->raise();
    m_manual->activateWindow();
    return m_manual;
}

void HelpMenu::showAbout()
{
    QMessageBox::about(m_window, QStringLiteral("关于"),
                       QStringLiteral("QT7020 信道设置系统 %1\n\n把信道表经串口数据线写入 QT7020 对讲机。\n"
                                      "说明书：帮助 → 使用说明（F1），或 man qt7020。")
                               .arg(QCoreApplication::applicationVersion()));
}
