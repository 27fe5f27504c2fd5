// SPDX-License-Identifier: MIT
#include "ui/main/FrmMain.h"

#include "ui/Twips.h"

#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>

namespace tw {
namespace {

const QSize kClientTwips(10920, 7905);

} // namespace

FrmMain::FrmMain(const QString& title, MessageService& messages, QWidget* parent)
    : QMainWindow(parent)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(title);
    // A fixed single border with a minimize button only; without CustomizeWindowHint the platform
    // would add the maximize button back.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    setCentralWidget(new QWidget(this));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);

    fixClientSize();
}

void FrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_centred && !event->spontaneous()) {
        m_centred = true;
        centreOnScreen();
    }
}

void FrmMain::fixClientSize()
{
    QSize size = twipsToPixels(kClientTwips, this);
    // A menu bar lies outside the client area it was laid out for.
    if (const QWidget* menu = menuWidget())
        size.rheight() += menu->sizeHint().height();
    setFixedSize(size);
}

void FrmMain::centreOnScreen()
{
    const QScreen* target = screen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace tw
