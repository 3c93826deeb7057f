#include "RadioListPanel.h"

#include "FleetLabels.h"
#include "RadioList.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

RadioListPanel::RadioListPanel(QWidget *parent)
    : QWidget(parent)
    , m_progress(new QLabel(this))
    , m_list(new QListWidget(this))
{
    m_progress->setObjectName(QStringLiteral("清单进度"));
    m_list->setObjectName(QStringLiteral("电台清单"));
    m_list->setFocusPolicy(Qt::NoFocus);   // the keys stay with the label field
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_progress);
    layout->addWidget(m_list, 1);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit labelPicked(item->data(Qt::UserRole).toString()); });
    setVisible(false);
}

void RadioListPanel::present(const FleetLabels &labels)
{
    const QStringList &list = labels.list();
    setVisible(!list.isEmpty());
    m_progress->setText(QStringLiteral("电台清单 %1 / %2").arg(labels.doneOfList()).arg(list.size()));
    if (m_list->count() != list.size()) {
        m_list->clear();
        for (const QString &label : list) {
            auto *item = new QListWidgetItem(m_list);
            item->setData(Qt::UserRole, label);
        }
    }
    for (int i = 0; i < list.size(); ++i) {
        const QString &label = list.at(i);
        const QString mark = labels.isDone(label)           ? QStringLiteral("✓")
                             : labels.hasFailed(label)      ? QStringLiteral("✗")
                             : label == labels.loading()    ? QStringLiteral("▶")
                                                            : QStringLiteral("  ");
        m_list->item(i)->setText(mark + u' ' + label);
        m_list->item(i)->setForeground(labels.isDone(label) ? palette().color(QPalette::PlaceholderText) : palette().color(QPalette::Text));
    }
}

void RadioListPanel::selectLabels(const QStringList &labels)
{
    m_list->clearSelection();
    for (int i = 0; i < m_list->count(); ++i)
        if (labels.contains(m_list->item(i)->data(Qt::UserRole).toString())) {
            m_list->item(i)->setSelected(true);
            m_list->scrollToItem(m_list->item(i));
        }
}

QStringList RadioListPanel::importList(QString *said)
{
    said->clear();
    const QString path = QFileDialog::getOpenFileName(window(), QStringLiteral("导入电台清单"), QString(),
                                                      QStringLiteral("电台清单 (*.txt *.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return {};
    const RadioList list(path);
    if (!list.isValid()) {
        *said = list.error();
        return {};
    }
    int column = list.likelyColumn();
    if (list.columns().size() > 1) {
        QStringList names;
        for (int i = 0; i < list.columns().size(); ++i)
            names << QStringLiteral("第 %1 列：%2").arg(i + 1).arg(list.columns().at(i));
        bool chosen = false;
        const QString name = QInputDialog::getItem(window(), QStringLiteral("导入电台清单"), QStringLiteral("电台在哪一列？"),
                                                   names, column, false, &chosen);
        if (!chosen)
            return {};
        column = int(names.indexOf(name));
    }
    *said = list.account(column);
    return list.labels(column);
}
