#include "DesignedControls.h"

#include "ChannelGrid.h"
#include "ColumnWidths.h"
#include "DesignColours.h"
#include "DesignFonts.h"
#include "PlanTools.h"
#include "TextColour.h"
#include "Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

static const QString kai = QStringLiteral("楷体_GB2312");
static const QString song = QStringLiteral("宋体");

static QLabel *label(QWidget *parent, const char *name, const QString &text, const QFont &font,
                     const QColor &textColour)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    DesignColours::setTextColour(l, textColour);
    return l;
}

DesignedControls::DesignedControls(ChannelCursor *cursor, QWidget *window)
    : QWidget(window)
{
    setFixedSize(Twips::toPixels(11880, window), Twips::toPixels(7860, window));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(0, Twips::toPixels(120, window), Twips::toPixels(11880, window), 1);
    addLabels();

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(Twips::rect(window, 8280, 1440, 3255, 255));

    m_grid = new ChannelGrid(this);
    m_grid->setCursor(cursor);
    m_grid->setGeometry(Twips::rect(window, 2520, 2400, 7695, 5055));
    new PlanTools(m_grid);   // the grid owns them, and their actions join its commands
    new ColumnWidths(m_grid);
    m_grid->setFocus();
}

void DesignedControls::addLabels()
{
    auto *frame = new QGroupBox(QStringLiteral("日期"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    frame->setFont(DesignFonts::font(kai, 15.75));
    DesignColours::setTextColour(frame, DesignColours::yellow);
    frame->setGeometry(Twips::rect(this, 600, 600, 2175, 735));
    m_date = label(frame, "Label8", QStringLiteral("Label8"), DesignFonts::font(kai, 12), DesignColours::red);
    m_date->setGeometry(Twips::rect(this, 240, 360, 1695, 255));

    auto *title = label(this, "Label1", QStringLiteral("信道设置系统"), DesignFonts::font(kai, 26.25),
                        DesignColours::blue);
    title->setGeometry(Twips::rect(this, 4200, 720, 3735, 855));
    auto *radioModel = label(this, "Label3", QStringLiteral("(QT_7020)"), DesignFonts::font(song, 15.75),
                             DesignColours::blue);
    radioModel->setGeometry(Twips::rect(this, 5160, 1440, 1695, 375));
    radioModel->raise();   // in front where it overlaps the title, so it stays readable
    m_status = label(this, "Label2", QStringLiteral(" "), DesignFonts::font(kai, 15.75), DesignColours::blue);
    m_status->setGeometry(Twips::rect(this, 8040, 720, 3615, 375));
}
