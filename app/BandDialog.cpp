#include "BandDialog.h"

#include "BandProfiles.h"
#include "FitToText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

BandDialog::BandDialog(const QString &current, QWidget *parent)
    : QDialog(parent)
    , m_bands(new QComboBox(this))
    , m_source(new QLabel(this))
{
    setObjectName(QStringLiteral("频段"));
    setWindowTitle(QStringLiteral("频段"));
    for (const BandProfile &profile : BandProfiles::all())
        m_bands->addItem(profile.name, profile.id);
    m_bands->setCurrentIndex(std::max(0, m_bands->findData(current)));
    m_source->setWordWrap(true);
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_source->setMinimumWidth(420);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("频段规划："), m_bands);
    form->addRow(QStringLiteral("依据："), m_source);
    form->addRow(new QLabel(QStringLiteral("不在所选频段内的频率，检查信道表和传送前的提示中列为警告，表格中标色。"), this));
    form->addRow(buttons);
    connect(m_bands, &QComboBox::currentIndexChanged, this, &BandDialog::showSource);
    connect(buttons, &QDialogButtonBox::accepted, this, &BandDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BandDialog::reject);
    showSource();
}

const BandProfile *BandDialog::choose(QWidget *parent, const QString &current)
{
    BandDialog dialog(current, parent);
    if (!dialog.exec())
        return nullptr;
    return BandProfiles::find(dialog.m_bands->currentData().toString());
}

void BandDialog::showSource()
{
    m_source->setText(BandProfiles::find(m_bands->currentData().toString())->source);
    fitToText(this);
}

void BandDialog::accept()
{
    BandProfiles::save(m_bands->currentData().toString());
    QDialog::accept();
}
