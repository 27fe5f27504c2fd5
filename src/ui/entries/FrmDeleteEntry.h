// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/ProgramRow.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

namespace tw {

struct Application;

// Deletes a stale entry from the list after a warning and a second question, or hands over to the
// uninstaller instead.
class FrmDeleteEntry : public QDialog
{
    Q_OBJECT

public:
    FrmDeleteEntry(Application& app, ProgramRow selected, std::function<void()> refresh,
        std::function<void()> uninstall, QWidget* parent);

    void cmdDelete_Click();
    void cmdUnInstall_Click();
    void cmdCancel_Click();

    // The five-line warning for a display name.
    static QString warning(const QString& name);

private:
    Application& m_app;
    ProgramRow m_selected;
    std::function<void()> m_refresh;
    std::function<void()> m_uninstall;
    QLineEdit* m_txtDName = nullptr;
    QLabel* m_lblMessage = nullptr;
};

} // namespace tw
