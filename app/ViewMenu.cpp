#include "ViewMenu.h"

#include "ChannelGrid.h"
#include "ColumnWidths.h"
#include "UserSettings.h"

#include <QEvent>

ViewMenu::ViewMenu(ChannelGrid *grid, QWidget *parent)
    : QMenu(QStringLiteral("显示(&V)"), parent)
    , m_grid(grid)
    , m_client(grid->parentWidget())
    , m_designedGrid(grid->geometry())
    , m_designedClient(grid->parentWidget()->size())
{
    setObjectName(QStringLiteral("显示"));
    menuAction()->setObjectName(QStringLiteral("显示"));
    QAction *stretch = addAction(QStringLiteral("表格随窗口放大"));
    stretch->setObjectName(QStringLiteral("stretchGrid"));
    stretch->setCheckable(true);
    stretch->setChecked(userSettings().value(stretchKey(), false).toBool());
    connect(stretch, &QAction::toggled, this, [this](bool on) {
        userSettings().setValue(stretchKey(), on);
        setStretching(on);
    });
    m_client->installEventFilter(this);
    if (stretch->isChecked())   // off is how the window was built
        setStretching(true);
    new ColumnWidths(grid);
}

void ViewMenu::setStretching(bool stretching)
{
    m_stretching = stretching;
    if (stretching) {
        m_client->setMinimumSize(m_designedClient);
        m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_client->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        return;
    }
    m_client->setFixedSize(m_designedClient);
    m_client->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_grid->setGeometry(m_designedGrid);
    if (QWidget *window = m_client->window(); window != m_client)
        window->adjustSize();
}

// The grid keeps its designed place and grows by what the client area grew.
bool ViewMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize && m_stretching) {
        const QSize grown = m_client->size() - m_designedClient;
        m_grid->setGeometry(m_designedGrid.adjusted(0, 0, std::max(grown.width(), 0), std::max(grown.height(), 0)));
    }
    return QMenu::eventFilter(watched, event);
}
