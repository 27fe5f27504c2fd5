// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace tw {

class Registry;
class DesktopService;
class MessageService;

// Program details: the selected program's registry name, uninstall command and the entry's
// publisher, version, help link, support address and contact, read-only. The help link and the
// support address open in the desktop's handler when they are web or mail addresses; the
// uninstall command starts on a click, without waiting for it.
class FrmInfo : public QDialog
{
    Q_OBJECT

public:
    // The dialog deletes itself when it closes.
    // `uninstall` runs the main window's checked and logged uninstall of the selected row, which is the row
    // shown here; the uninstall command box offers it.
    FrmInfo(Registry& registry, DesktopService* desktop, MessageService& messages,
        std::function<void()> uninstall, ProgramRow selected, QWidget* parent);

    void TxtHLink_Click();
    void TxtUIAbout_Click();
    void TxtUString_Click();
    void cmdClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void GetProgInformation();
    void openLink(const char* procedure, QLineEdit* box);

    Registry& m_registry;
    DesktopService* m_desktop;
    MessageService& m_messages;
    std::function<void()> m_uninstall;
    ProgramRow m_selected;

    QLineEdit* m_txtDName = nullptr;
    QLineEdit* m_txtRName = nullptr;
    QLineEdit* m_txtUString = nullptr;
    QLineEdit* m_txtPublisher = nullptr;
    QLineEdit* m_txtDVersion = nullptr;
    QLineEdit* m_txtHLink = nullptr;
    QLineEdit* m_txtUIAbout = nullptr;
    QLineEdit* m_txtContact = nullptr;
};

} // namespace tw
