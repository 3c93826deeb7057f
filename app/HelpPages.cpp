#include "HelpPages.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpPages::HelpPages(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

QString HelpPages::manualHtml()
{
    QFile file(QStringLiteral(":/manual/manual.html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QDialog *HelpPages::showManual()
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

void HelpPages::showAbout()
{
    QMessageBox::about(m_window, QStringLiteral("关于"),
                       QStringLiteral("QT7020 信道设置系统 %1\n\n把信道表经数据线写入 QT7020 对讲机。\n"
                                      "说明书：帮助 → 使用说明（F1），或 man qt7020。")
                               .arg(QCoreApplication::applicationVersion()));
}
