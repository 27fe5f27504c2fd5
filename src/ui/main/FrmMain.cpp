// SPDX-License-Identifier: MIT
#include "ui/main/FrmMain.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "registry/RegistryView.h"
#include "session/Session.h"
#include "system/WineServer.h"
#include "ui/DesktopService.h"
#include "ui/MessageService.h"
#include "ui/Twips.h"
#include "ui/main/Artwork.h"
#include "ui/main/EntryCommands.h"
#include "ui/main/FrmOpenPrefix.h"
#include "ui/main/ImageList.h"
#include "ui/main/MainServices.h"
#include "ui/main/ProgramList.h"
#include "ui/main/ProgramScan.h"
#include "ui/main/SidePanel.h"
#include "uninstall/Processes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace tw {
namespace {

const QSize kClientTwips(10920, 7905);
constexpr int kToolbarTwips = 810;
constexpr int kStatusBarTwips = 375;
constexpr int kSideMenuWidthTwips = 2895;
// Form_Resize measures the outer window. Its caption, menu bar and border add this much to the
// client area, which puts the list's right edge on the window's and its foot on the status bar.
constexpr int kOuterExtraWidthTwips = 65;
constexpr int kOuterExtraHeightTwips = 760;

constexpr art::ToolbarImage kToolbarImages[] = {
    art::ToolbarImage::Uninstall,
    art::ToolbarImage::DeleteFromList,
    art::ToolbarImage::ProgramDetails,
    art::ToolbarImage::ChangeIcon,
    art::ToolbarImage::AuditReport,
    art::ToolbarImage::NewProgram,
    art::ToolbarImage::UninstallLog,
    art::ToolbarImage::Exit,
};

QPushButton* sideButton(QWidget* parent, const char* name, const QString& caption, const QString& tooltip)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tooltip);
    button->setAutoDefault(false);
    return button;
}

} // namespace

FrmMain::FrmMain(const MainServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("FrmMain"));
    // The window's HTTP fetch control, used by the update check.
    (new QNetworkAccessManager(this))->setObjectName(QStringLiteral("Inet1"));
    setWindowTitle(QString::fromStdString(services.context.title));
    // A fixed single border with a minimize button only; without CustomizeWindowHint the platform
    // would add the maximize button back.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    buildControls();
    connectCommands();
    fixClientSize();
    // The window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
    Form_Load();
    m_actions.view32->setChecked(m_services.session.registryView && m_services.session.registryView->wow32());
    m_actions.view32->setEnabled(m_services.session.registryView != nullptr);
    m_actions.openPrefix->setVisible(m_services.prefixes != nullptr);
    updateRegistryStatus();
    // A prefix's server may start or end at any time, and another prefix may be opened; the panel follows.
    auto* watch = new QTimer(this);
    watch->setObjectName(QStringLiteral("tmrWine"));
    connect(watch, &QTimer::timeout, this, &FrmMain::updateRegistryStatus);
    watch->start(2000);
}

void FrmMain::mnu_OpenPrefix_Click()
{
    Procedure proc("mnu_OpenPrefix_Click");
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmOpenPrefix(*m_services.prefixes, m_services.messages,
            QString::fromStdString(m_services.session.prefix), this);
        if (dialog->exec() != QDialog::Accepted)
            return;
        // The session now holds the prefix chosen; all the window shows comes from it again.
        updateRegistryStatus();
        showUnInstallList();
    });
}

FrmMain::~FrmMain() = default;

MessageService& FrmMain::messageService() const
{
    return m_services.messages;
}

QString FrmMain::statusText() const
{
    return m_statusPanel->text();
}

QString FrmMain::registryStatusText() const
{
    return m_registryPanel->text();
}

void FrmMain::updateRegistryStatus()
{
    QString text = QString::fromStdString(m_services.session.description);
    if (m_services.session.registryView && m_services.session.registryView->wow32())
        text += QStringLiteral(" (32-bit programs)");
    const bool stale = m_services.session.wineServer && m_services.session.wineServer->running();
    if (stale)
        text = QStringLiteral("Wine is running: the list may be out of date. ") + text;
    m_registryPanel->setText(text);
    m_registryPanel->setToolTip(text);
    m_registryPanel->setStyleSheet(stale ? QStringLiteral("color: #a00000;") : QString());
}

void FrmMain::buildControls()
{
    m_imgLarge = new ImageList(QStringLiteral("ImgLarge"), 32, this);
    m_imgSmall = new ImageList(QStringLiteral("ImgSmall"), 16, this);
    m_toolbarImages = new ImageList(QStringLiteral("ImageList3"), 32, this);
    for (art::ToolbarImage image : kToolbarImages)
        m_toolbarImages->add(art::toolbarImage(image, 32));
    m_actions = MainActions::create(*this, *m_toolbarImages);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    // The layout is given in the client area's coordinates, which begin above the toolbar.
    const int toolbarHeight = twipsToPixelsY(kToolbarTwips, this);
    const auto place = [toolbarHeight](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(
            twipsToPixels(QRect(left, top, width, height), widget).translated(0, -toolbarHeight));
    };

    m_sidePanel = new SidePanel(client);
    place(m_sidePanel, 0, 840, kSideMenuWidthTwips, 6000);
    m_txtFind = m_sidePanel->findText();
    m_lblExclaim = m_sidePanel->exclaim();

    m_list = new ProgramList(client);
    m_scan = std::make_unique<ProgramScan>(m_services.context, m_services.session, *m_imgLarge, *m_imgSmall);
    m_entries = std::make_unique<EntryCommands>(m_services, *m_list, this, [this] { mnu_refresh_Click(); });
    place(m_list, 2880, 825, 8040, 6705);
    m_list->setToolTip(QStringLiteral("Double click a program to run uninstall"));

    m_picSoftLarge = new QLabel(client);
    m_picSoftLarge->setObjectName(QStringLiteral("picSoftLarge"));
    m_picSoftLarge->setPixmap(m_scan->defaultPicture().pixmap(32, 32));
    place(m_picSoftLarge, 2400, 4320, 512, 512);
    // Only a holder of the default picture; the side panel covers its place.
    m_picSoftLarge->hide();

    m_cmdFind = sideButton(client, "CmdFind", QStringLiteral("&Find"), QStringLiteral("Find a Program"));
    place(m_cmdFind, 1800, 1200, 855, 375);
    m_cmdAbout = sideButton(client, "CmdAbout", QStringLiteral("&About"), QStringLiteral("About"));
    place(m_cmdAbout, 165, 5425, 2595, 615);
    m_cmdChkUpdate = sideButton(
        client, "CmdChkUpdate", QStringLiteral("Chec&k Update"), QStringLiteral("Check for Update"));
    place(m_cmdChkUpdate, 165, 6025, 2595, 615);
    m_cmdHelp = sideButton(client, "CmdHelp", QStringLiteral("&Help"), QStringLiteral("Help"));
    place(m_cmdHelp, 165, 6625, 2595, 615);

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(twipsToPixelsY(kStatusBarTwips, this));
    m_statusPanel = new QLabel(status);
    m_statusPanel->setObjectName(QStringLiteral("StatusBarPanel1"));
    m_statusPanel->setIndent(4);
    status->addWidget(m_statusPanel, 1);
    m_registryPanel = new QLabel(status);
    m_registryPanel->setObjectName(QStringLiteral("StatusBarPanel2"));
    m_registryPanel->setIndent(4);
    m_registryPanel->setTextFormat(Qt::PlainText);
    status->addPermanentWidget(m_registryPanel, 1);

    QWidget::setTabOrder(m_list->reportView(), m_txtFind);
    QWidget::setTabOrder(m_txtFind, m_cmdFind);
    QWidget::setTabOrder(m_cmdFind, m_cmdChkUpdate);
    QWidget::setTabOrder(m_cmdChkUpdate, m_cmdAbout);
    QWidget::setTabOrder(m_cmdAbout, m_cmdHelp);
}

void FrmMain::connectCommands()
{
    const MainActions& a = m_actions;
    connect(a.openPrefix, &QAction::triggered, this, &FrmMain::mnu_OpenPrefix_Click);
    connect(a.printAndSaveAudit, &QAction::triggered, this, &FrmMain::mnu_PrntNSaveAudit_Click);
    connect(a.exit, &QAction::triggered, this, &FrmMain::mnu_Exit_Click);
    connect(a.uninstallProgram, &QAction::triggered, this, &FrmMain::mnu_UninstallProg_Click);
    connect(a.deleteFromList, &QAction::triggered, this, &FrmMain::mnu_DelFrmLst_Click);
    connect(a.programDetails, &QAction::triggered, this, &FrmMain::mnu_prgdtls_Click);
    connect(a.editProgramDetails, &QAction::triggered, this, &FrmMain::mnu_EditPrgDtls_Click);
    connect(a.changeIcon, &QAction::triggered, this, &FrmMain::Mnu_ChangeIcon_Click);
    connect(a.newProgram, &QAction::triggered, this, &FrmMain::mnu_NewPrg_Click);
    connect(a.uninstallLog, &QAction::triggered, this, &FrmMain::mnu_UninstLog_Click);
    connect(a.largeIcons, &QAction::triggered, this, &FrmMain::mnu_LargeIcons_Click);
    connect(a.smallIcons, &QAction::triggered, this, &FrmMain::mnu_SmllIcons_Click);
    connect(a.list, &QAction::triggered, this, &FrmMain::mnu_list_Click);
    connect(a.details, &QAction::triggered, this, &FrmMain::mnu_details_Click);
    connect(a.refresh, &QAction::triggered, this, &FrmMain::mnu_refresh_Click);
    connect(a.view32, &QAction::triggered, this, &FrmMain::mnu_View32_Click);
    connect(a.helpTopics, &QAction::triggered, this, &FrmMain::mnu_hlptopics_Click);
    connect(a.about, &QAction::triggered, this, &FrmMain::mnu_about_Click);
    connect(a.toolbar, &QToolBar::actionTriggered, this,
        [this](QAction* action) { Toolbar1_ButtonClick(action->data().toInt()); });

    connect(m_cmdFind, &QPushButton::clicked, this, &FrmMain::cmdFind_Click);
    connect(m_cmdAbout, &QPushButton::clicked, this, &FrmMain::CmdAbout_Click);
    connect(m_cmdChkUpdate, &QPushButton::clicked, this, &FrmMain::CmdChkUpdate_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &FrmMain::CmdHelp_Click);

    connect(m_list, &ProgramList::clicked, this, &FrmMain::lstview_Click);
    connect(m_list, &ProgramList::selectionChanged, this, &FrmMain::lstview_Click);
    connect(m_list, &ProgramList::doubleClicked, this, &FrmMain::lstview_DblClick);
    connect(m_list, &ProgramList::columnClicked, this, &FrmMain::lstview_ColumnClick);
    connect(m_list, &ProgramList::mouseReleased, this, &FrmMain::lstview_MouseUP);
}

void FrmMain::fixClientSize()
{
    QSize size = twipsToPixels(kClientTwips, this);
    // The menu bar lies outside the client area the layout was drawn for.
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

void FrmMain::Form_Load()
{
    Procedure proc("Form_Load", OnError::Skip);
    proc.step(__LINE__, [&] { showUnInstallList(); });
}

void FrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_centred && !event->spontaneous()) {
        m_centred = true;
        centreOnScreen();
    }
    Form_Resize();
}

void FrmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmMain::Form_Resize()
{
    Procedure proc("Form_Resize", OnError::Skip);
    const auto twipsX = [this](int pixels) { return qRound(pixels * qreal(kTwipsPerInch) / logicalDpiX()); };
    const auto twipsY = [this](int pixels) { return qRound(pixels * qreal(kTwipsPerInch) / logicalDpiY()); };
    const int menuHeight = menuWidget() ? menuWidget()->height() : 0;
    const int outerWidth = twipsX(width()) + kOuterExtraWidthTwips;
    const int outerHeight = twipsY(height() - menuHeight) + kOuterExtraHeightTwips;
    const int sideWidth = twipsX(m_sidePanel->width());
    // A size that does not fit (a minimized window's) is refused and the next one still made.
    const auto checked = [](int twips) {
        if (twips < 0)
            throw Error(errc::kInvalidCall, "Invalid property value");
        return twips;
    };
    proc.step(__LINE__, [&] {
        m_list->resize(twipsToPixelsX(checked(outerWidth - (sideWidth + 50)), this), m_list->height());
    });
    proc.step(__LINE__,
        [&] { m_list->resize(m_list->width(), twipsToPixelsY(checked(outerHeight - 1960), this)); });
    proc.step(__LINE__, [&] {
        m_sidePanel->resize(m_sidePanel->width(), twipsToPixelsY(checked(outerHeight - 1960), this));
    });
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void FrmMain::Form_Unload()
{
    // The program ends with its main window: every other window still open goes with it.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* other : windows) {
        if (other != this && other->isWindow() && other->isVisible())
            other->close();
    }
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (event->type() == QEvent::KeyPress) {
        if (key->key() == Qt::Key_F1) {
            openHelp();
            return true;
        }
        if (enter) {
            // Enter works as Tab, and no control sees it, so none beeps or presses a default button.
            m_enterPressedIn = widget;
            sendKey(Qt::Key_Tab);
            return true;
        }
        return false;
    }
    if (!enter)
        return false;
    if (!key->isAutoRepeat() && m_enterPressedIn && m_enterPressedIn == m_txtFind) {
        m_enterPressedIn = nullptr;
        txtFind_KeyUp(13, key->modifiers());
    }
    return true;
}

void FrmMain::sendKey(int key)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != this)
        target = this;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

void FrmMain::openHelp()
{
    if (m_services.desktop)
        m_services.desktop->openUrl(QUrl::fromLocalFile(QString::fromStdString(m_services.context.helpFile)));
}

void FrmMain::uncheckAll()
{
    Procedure proc("uncheckAll");
    proc.step(__LINE__, [&] {
        for (QAction* item :
            { m_actions.largeIcons, m_actions.smallIcons, m_actions.list, m_actions.details })
            item->setChecked(false);
    });
}

QAction* FrmMain::viewItem(int view) const
{
    QAction* const items[]
        = { m_actions.largeIcons, m_actions.smallIcons, m_actions.list, m_actions.details };
    if (view < 0 || view > 3)
        throw Error(errc::kSubscriptOutOfRange, "Subscript out of range");
    return items[view];
}

void FrmMain::mnu_NewPrg_Click()
{
    m_entries->newEntry();
}

void FrmMain::Edit_Entry_Click()
{
    m_entries->editEntry();
}

void FrmMain::Show_FormUninstall()
{
    m_entries->uninstall();
}

void FrmMain::Delete_Entry_Click()
{
    m_entries->deleteEntry();
}

void FrmMain::Mnu_ChangeIcon_Click()
{
    m_entries->changeIcon();
}

} // namespace tw
