#include "SortDialog.h"

#include "ChannelFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>

#include <algorithm>

SortDialog::SortDialog(int column, QWidget *parent)
    : ToolDialog(QStringLiteral("排序"), parent)
    , m_column(new QComboBox(this))
    , m_descending(new QCheckBox(QStringLiteral("从大到小（降序）"), this))
{
    using namespace ChannelFields;
    for (int field : { Channel, Receive, Transmit, Record, Remark })
        m_column->addItem(name(field), field);
    m_column->setCurrentIndex(std::max(m_column->findData(column), 0));
    m_column->setObjectName(QStringLiteral("column"));
    m_descending->setObjectName(QStringLiteral("descending"));
    form()->addRow(QStringLiteral("按此列排序："), m_column);
    form()->addRow(QString(), m_descending);
    // The radio gets the file's first rows: sorting changes which ones those are.
    setNote(QStringLiteral("排序会改变信道表中各行的顺序，也就改变了发送到对讲机的信道："
                           "只有前 51 行发送到对讲机。排序可以撤销（Ctrl+Z）。"));
}

int SortDialog::column() const
{
    return m_column->currentData().toInt();
}

bool SortDialog::descending() const
{
    return m_descending->isChecked();
}
