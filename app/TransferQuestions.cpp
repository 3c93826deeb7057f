#include "TransferQuestions.h"

#include "ListMessage.h"
#include "SystemMessage.h"
#include "TransferController.h"

namespace TransferQuestions {

bool mayBreak(QWidget *window, TransferController *transfer, const QString &consequence)
{
    if (!transfer->isRunning())
        return true;
    const auto text = [transfer, consequence] {
        return QStringLiteral("正在传送数据（已发送 %1 帧，共 %2 帧）。\n%3")
                .arg(transfer->framesSent())
                .arg(transfer->framesPlanned())
                .arg(consequence);
    };
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统信息"), text(), QMessageBox::Yes | QMessageBox::No, window);
    box.setDefaultButton(QMessageBox::No);
    QObject::connect(transfer, &TransferController::frameSent, &box, [&box, text] { box.setText(text()); });
    return box.exec() == QMessageBox::Yes;
}

bool warningsAccepted(QWidget *window, const QStringList &warnings, const QString &summary)
{
    if (warnings.isEmpty())
        return true;
    const QString count = QStringLiteral("要传送的信道中有 %1 处警告").arg(warnings.size());
    return ListMessage::ask(window, summary.isEmpty() ? count + u'。' : count + u'：' + summary, warnings,
                            QStringLiteral("仍然传送吗？"), QStringLiteral("仍然传送(&Y)"));
}

bool warningsAccepted(QWidget *window, const QStringList &warnings)
{
    return warningsAccepted(window, warnings, QString());
}

} // namespace TransferQuestions
