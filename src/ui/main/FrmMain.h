// SPDX-License-Identifier: MIT
#pragma once

#include "ui/main/MainActions.h"
#include "ui/main/MainServices.h"
#include "ui/main/ProgramSearch.h"

#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tw {

class DesktopService;
class EntryCommands;
class ImageList;
class MessageService;
class ProgramList;
class ProgramScan;
class SidePanel;

// The program's one main window: the program list and every command start here. Its procedures
// bear the names the rest of the program calls them by.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Loads the window: builds it and fills the list, before it is first shown.
    explicit FrmMain(const MainServices& services, QWidget* parent = nullptr);
    ~FrmMain() override;

    MessageService& messageService() const;
    ProgramList& list() const { return *m_list; }
    ImageList& largeImages() const { return *m_imgLarge; }
    ImageList& smallImages() const { return *m_imgSmall; }
    QString statusText() const;
    // The second panel: which registry is open, and whether Wine may be changing it meanwhile.
    QString registryStatusText() const;
    void updateRegistryStatus();

    // Procedures other windows call.
    void showUnInstallList();
    void mnu_refresh_Click();
    void lstview_Click();
    void uncheckAll();

    // The list's events.
    void lstview_ColumnClick(int column);
    void lstview_DblClick();
    void lstview_MouseUP(Qt::MouseButton button, const QPoint& globalPos);

    // Commands of the menu bar, the toolbar and the side panel.
    void Toolbar1_ButtonClick(int index);
    void mnu_OpenPrefix_Click();
    void mnu_PrntNSaveAudit_Click();
    void mnu_Exit_Click();
    void mnu_UninstallProg_Click();
    void mnu_DelFrmLst_Click();
    void mnu_prgdtls_Click();
    void mnu_EditPrgDtls_Click();
    void Mnu_ChangeIcon_Click();
    void mnu_NewPrg_Click();
    void mnu_UninstLog_Click();
    void mnu_LargeIcons_Click();
    void mnu_SmllIcons_Click();
    void mnu_list_Click();
    void mnu_details_Click();
    void mnu_View32_Click();
    void mnu_hlptopics_Click();
    void mnu_about_Click();
    void CmdAbout_Click();
    void CmdHelp_Click();
    void CmdChkUpdate_Click();
    void cmdFind_Click();
    void txtFind_KeyUp(int keyCode, Qt::KeyboardModifiers shift);

    // The Uninstall key's commands on the selected row; EntryCommands carries them out.
    void Show_FormUninstall();
    void Delete_Entry_Click();
    void Edit_Entry_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectCommands();
    void fixClientSize();
    void centreOnScreen();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    // The View menu's item of view 0 to 3.
    QAction* viewItem(int view) const;
    void switchView(const char* procedure, int view);
    void openHelp();
    void sendKey(int key);

    MainServices m_services;
    MainActions m_actions;
    ImageList* m_imgLarge = nullptr;
    ImageList* m_imgSmall = nullptr;
    ImageList* m_toolbarImages = nullptr;
    SidePanel* m_sidePanel = nullptr;
    ProgramList* m_list = nullptr;
    QLineEdit* m_txtFind = nullptr;
    QLabel* m_lblExclaim = nullptr;
    QLabel* m_picSoftLarge = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_registryPanel = nullptr;
    QPushButton* m_cmdFind = nullptr;
    QPushButton* m_cmdAbout = nullptr;
    QPushButton* m_cmdChkUpdate = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    std::unique_ptr<ProgramScan> m_scan;
    std::unique_ptr<EntryCommands> m_entries;

    std::int16_t m_sortColumn = 0;
    ProgramSearch m_search;
    // Where Enter went down: its release there is the search box's KeyUp, wherever the focus has moved.
    QPointer<QWidget> m_enterPressedIn;
    bool m_centred = false;
};

} // namespace tw
