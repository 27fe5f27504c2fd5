// SPDX-License-Identifier: MIT
// The main window's commands that change the Uninstall key: new entry, delete from list, uninstall.
#include "ui/main/FrmMain.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "registry/RegistryView.h"
#include "session/Session.h"
#include "ui/MessageService.h"
#include "ui/entries/FrmDeleteEntry.h"
#include "ui/entries/FrmEditEntry.h"
#include "ui/entries/FrmNewEntry.h"
#include "ui/main/MainServices.h"
#include "ui/main/ProgramList.h"
#include "ui/uninstall/FrmUninstaller.h"
#include "ui/uninstall/FrmWineWait.h"
#include "uninstall/Processes.h"
#include "uninstall/UninstallRun.h"

#include <QCoreApplication>
#include <chrono>

namespace tw {

void FrmMain::mnu_NewPrg_Click()
{
    Procedure proc("mnu_NewPrg_Click");
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmNewEntry(
            m_services.context, *m_services.session.registry, m_services.session.wineServer.get(),
            m_services.messages, *m_list, [this] { mnu_refresh_Click(); }, this);
        dialog->exec();
    });
}

void FrmMain::Edit_Entry_Click()
{
    Procedure proc("Edit_Entry_Click");
    proc.step(__LINE__, [&] {
        const std::optional<ProgramRow> selected = m_list->selectedProgram();
        if (!selected)
            return;
        auto* dialog = new FrmEditEntry(
            m_services.context, *m_services.session.registry, m_services.session.wineServer.get(),
            m_services.messages, *selected, [this] { mnu_refresh_Click(); }, this);
        dialog->exec();
    });
}

void FrmMain::Show_FormUninstall()
{
    const std::optional<ProgramRow> selected = m_list->selectedProgram();
    if (!selected)
        return;
    // Under Wine, a short wait for the server is the rule (it exits about 2 s after the last program);
    // a longer one means other programs keep it running, and the user is shown which.
    WineSide wine;
    if (m_services.session.wineServer) {
        const QString name = QString::fromStdString(selected->text);
        std::optional<std::chrono::steady_clock::time_point> ended;
        wine = wineSideFor(*m_services.session.wineServer, m_services.session.registryView->redirects(),
            [this, ended, name]() mutable {
                const auto now = std::chrono::steady_clock::now();
                if (!ended)
                    ended = now;
                if (now - *ended < std::chrono::seconds(4))
                    return false;
                FrmWineWait wait(*m_services.session.wineServer, name, this);
                return wait.exec() == FrmWineWait::JudgeNow;
            });
    }
    // While the uninstaller runs the window repaints, but input waits until it has ended.
    UninstallRun run(
        *m_services.session.registry, m_services.processes, m_services.context.logPath, m_services.clock,
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }, wine);
    const UninstallOutcome outcome = run.run({ selected->key, selected->text, selected->uninstallCommand });
    Procedure proc("Show_FormUninstall");
    if (outcome == UninstallOutcome::Removed) {
        proc.step(__LINE__, [&] { mnu_refresh_Click(); });
    } else if (outcome == UninstallOutcome::StillPresent) {
        proc.step(__LINE__, [&] {
            auto* dialog = new FrmUninstaller(
                m_services.context, m_services.session.wineServer.get(), m_services.messages, run, *selected,
                [this] { mnu_refresh_Click(); }, this);
            dialog->exec();
        });
    }
}

void FrmMain::Delete_Entry_Click()
{
    Procedure proc("Delete_Entry_Click");
    const std::optional<ProgramRow> selected = m_list->selectedProgram();
    if (!selected)
        return;
    bool uninstallInstead = false;
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmDeleteEntry(
            m_services.context, *m_services.session.registry, m_services.session.wineServer.get(),
            m_services.messages, m_services.clock, *selected, [this] { mnu_refresh_Click(); },
            [&uninstallInstead] { uninstallInstead = true; }, this);
        dialog->exec();
    });
    // The dialog has closed by now; the uninstall runs for the same row.
    if (uninstallInstead)
        Show_FormUninstall();
}

} // namespace tw
