// SPDX-License-Identifier: MIT
#include "ui/main/SidePanel.h"

#include "ui/Twips.h"
#include "ui/main/Artwork.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace tw {
namespace {

const QColor kPanelColour(121, 150, 222);

// A frame without caption: a white-edged box a shade darker than the panel, so white text on it
// stays easy to read.
class PanelFrame : public QWidget
{
public:
    PanelFrame(const QString& name, QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(name);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(255, 255, 255, 170), 1));
        p.setBrush(QColor(24, 44, 120, 48));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
};

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(QRect(left, top, width, height), widget));
}

// Line1 to Line8: a bright rule with a faint one under it, at the top, between the two frames,
// above the buttons and below them.
void addLines(QWidget* panel)
{
    const int rows[] = { 105, 900, 4500, 6470 };
    int number = 1;
    for (int top : rows) {
        for (int alpha : { 220, 70 }) {
            auto* line = new QWidget(panel);
            line->setObjectName(QStringLiteral("Line%1").arg(number++));
            line->setAutoFillBackground(true);
            QPalette palette = line->palette();
            palette.setColor(QPalette::Window, QColor(255, 255, 255, alpha));
            line->setPalette(palette);
            QRect r = twipsToPixels(QRect(145, top, 2565, 15), line);
            r.setHeight(1);
            r.translate(0, alpha == 220 ? 0 : 1);
            line->setGeometry(r);
        }
    }
}

} // namespace

SidePanel::SidePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picSideMenu"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    setPalette(palette);

    addLines(this);

    // The icon file dialog's settings; the dialog itself opens through the message service.
    auto* cmdlgIcon = new QObject(this);
    cmdlgIcon->setObjectName(QStringLiteral("cmdlgIcon"));
    cmdlgIcon->setProperty("DialogTitle", QStringLiteral("Please select an Icon or Exe file..."));
    cmdlgIcon->setProperty("Filter", QStringLiteral("Application, Icons (*.exe, *.ico)|*.exe;*.ico"));
    cmdlgIcon->setProperty("InitDir", QStringLiteral("C:\\Program Files\\"));

    auto* fmFind = new PanelFrame(QStringLiteral("fmFind"), this);
    place(fmFind, 145, 240, 2565, 585);
    m_find = new QLineEdit(fmFind);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setPlaceholderText(QStringLiteral("Program name"));
    place(m_find, 120, 120, 1425, 330);

    auto* fmSideMenu = new PanelFrame(QStringLiteral("fmSideMenu"), this);
    place(fmSideMenu, 145, 990, 2565, 3450);
    auto* imgRight = new QLabel(fmSideMenu);
    imgRight->setObjectName(QStringLiteral("imgRight"));
    imgRight->setPixmap(art::exclaimSign(32));
    place(imgRight, 120, 210, 480, 480);

    m_exclaim = new QLabel(fmSideMenu);
    m_exclaim->setObjectName(QStringLiteral("lblExclaim"));
    m_exclaim->setWordWrap(true);
    m_exclaim->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_exclaim->setTextFormat(Qt::PlainText);
    QPalette text = m_exclaim->palette();
    text.setColor(QPalette::WindowText, Qt::white);
    m_exclaim->setPalette(text);
    QFont font = m_exclaim->font();
    font.setBold(true);
    m_exclaim->setFont(font);
    place(m_exclaim, 120, 840, 2325, 2535);
}

} // namespace tw
