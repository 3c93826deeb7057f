#include "PortDoctorDialog.h"

#include "FitToText.h"
#include "PortDoctor.h"
#include "PortMapping.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

const QString everyCable = QStringLiteral("所有 USB 数据线");

} // namespace

PortDoctorDialog::PortDoctorDialog(const QString &device, const SystemPaths &paths, QWidget *parent)
    : QDialog(parent)
    , m_paths(paths)
    , m_device(new QComboBox(this))
    , m_findings(new QVBoxLayout)
    , m_summary(new QLabel(this))
{
    setWindowTitle(QStringLiteral("串口诊断"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_device->setEditable(true);
    m_device->setMinimumContentsLength(36);
    m_device->addItem(everyCable);
    for (const QString &each : QStringList{ PortMapping::deviceFor(1), PortMapping::deviceFor(2) }
                 + PortDoctor(paths).adapters())
        if (m_device->findText(each) < 0)
            m_device->addItem(each);
    m_device->setCurrentText(device.isEmpty() ? everyCable : device);

    auto *list = new QWidget;
    auto *listLayout = new QVBoxLayout(list);
    listLayout->addLayout(m_findings);
    listLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    setMinimumSize(m_summary->fontMetrics().averageCharWidth() * 90, m_summary->fontMetrics().lineSpacing() * 22);

    auto *again = new QPushButton(QStringLiteral("重新检查"), this);
    again->setObjectName(QStringLiteral("重新检查"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("设备："), m_device);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(again);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    connect(again, &QPushButton::clicked, this, &PortDoctorDialog::examine);
    connect(m_device, &QComboBox::activated, this, &PortDoctorDialog::examine);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    examine();
}

void PortDoctorDialog::examine()
{
    while (QLayoutItem *item = m_findings->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QString chosen = m_device->currentText().trimmed();
    // A new doctor each time: the processes and files it saw are those of now.
    const QList<PortFinding> findings = PortDoctor(m_paths).examine(chosen == everyCable ? QString() : chosen);
    for (const PortFinding &finding : findings)
        m_findings->addWidget(findingRow(finding));
    const auto problems = std::count_if(findings.cbegin(), findings.cend(), [](const PortFinding &f) { return f.isProblem(); });
    m_summary->setText(problems ? QStringLiteral("发现 %1 个问题。").arg(problems) : QStringLiteral("没有发现问题。"));
    fitToText(this);
}

// The finding's text, and under it its command with a 复制 button.
QWidget *PortDoctorDialog::findingRow(const PortFinding &finding)
{
    auto *row = new QWidget;
    auto *layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 6);
    auto *text = new QLabel(QStringLiteral("【%1】%2").arg(finding.label(), finding.text), row);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    if (finding.remedy.isEmpty())
        return row;
    auto *command = new QLineEdit(finding.remedy, row);
    command->setObjectName(QStringLiteral("命令"));
    command->setReadOnly(true);
    command->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    command->setCursorPosition(0);
    auto *copy = new QPushButton(QStringLiteral("复制"), row);
    connect(copy, &QPushButton::clicked, row, [remedy = finding.remedy] { QApplication::clipboard()->setText(remedy); });
    auto *line = new QHBoxLayout;
    line->addWidget(command, 1);
    line->addWidget(copy);
    layout->addLayout(line);
    return row;
}
