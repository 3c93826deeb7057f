#include "GridStretch.h"

#include "ChannelGrid.h"
#include <QSettings>

#include <QEvent>
#include <QHeaderView>

GridStretch::GridStretch(ChannelGrid *grid)
    : QObject(grid)
    , m_grid(grid)
    , m_client(grid->parentWidget())
    , m_designedGrid(grid->geometry())
    , m_designedClient(grid->parentWidget()->size())
{
    m_client->installEventFilter(this);
    if (chosen())   // off is how the window was built
        setStretching(true);
}

bool GridStretch::chosen()
{
    return QSettings().value(stretchKey(), false).toBool();
}

void GridStretch::choose(bool stretching)
{
    QSettings().setValue(stretchKey(), stretching);
    setStretching(stretching);
}

void GridStretch::setStretching(bool stretching)
{
    m_stretching = stretching;
    m_grid->horizontalHeader()->setStretchLastSection(stretching);
    if (stretching) {
        m_client->setMinimumSize(m_designedClient);
        m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_client->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        return;
    }
    m_client->setFixedSize(m_designedClient);
    m_client->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_grid->setGeometry(m_designedGrid);
    if (QWidget *rule = m_client->findChild<QWidget *>(QStringLiteral("Line1"), Qt::FindDirectChildrenOnly))
        rule->resize(m_designedClient.width(), rule->height());
    if (QWidget *window = m_client->window(); window != m_client)
        window->adjustSize();
}

// The grid keeps its designed place and grows by what the client area grew.
bool GridStretch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize && m_stretching) {
        const QSize grown = m_client->size() - m_designedClient;
        m_grid->setGeometry(m_designedGrid.adjusted(0, 0, std::max(grown.width(), 0), std::max(grown.height(), 0)));
        if (QWidget *rule = m_client->findChild<QWidget *>(QStringLiteral("Line1"), Qt::FindDirectChildrenOnly))
            rule->resize(m_client->width(), rule->height());   // under the menu bar, across the window as designed
    }
    return QObject::eventFilter(watched, event);
}
