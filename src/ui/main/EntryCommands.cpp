// SPDX-License-Identifier: MIT
#include "ui/main/EntryCommands.h"

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "inventory/Inventory.h"
#include "inventory/PathMapping.h"
#include "registry/RegistryView.h"
#include "session/Session.h"
#include "system/WineServer.h"
#include "ui/MessageService.h"
#include "ui/WriteFailure.h"
#include "ui/entries/FrmDeleteEntry.h"
#include "ui/entries/FrmEditEntry.h"
#include "ui/entries/FrmNewEntry.h"
#include "ui/main/ProgramList.h"
#include "ui/uninstall/FrmUninstallWait.h"
#include "ui/uninstall/FrmUninstaller.h"
#include "ui/uninstall/FrmWineWait.h"
#include "uninstall/Processes.h"
#include "uninstall/UninstallRun.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <chrono>

namespace tw {

EntryCommands::EntryCommands(
    const MainServices& services, ProgramList& list, QWidget* window, std::function<void()> refresh)
    : m_services(services)
    , m_list(list)
    , m_window(window)
    , m_refresh(std::move(refresh))
{ }

void EntryCommands::refuseWhileWineRuns()
{
    m_services.messages.information(m_window, QString::fromStdString(m_services.context.title),
        QString::fromStdString(wineRunningMessage(m_services.session.wineServer->prefix())));
}

PathMapping EntryCommands::pathMapping() const
{
    const std::string& file = m_services.context.registryFile;
    return file.empty() ? PathMapping() : PathMapping::forRegistryFile(file);
}

void EntryCommands::newEntry()
{
    Procedure proc("mnu_NewPrg_Click");
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmNewEntry(m_services.context, *m_services.session.registry,
            m_services.session.wineServer.get(), m_services.messages, m_list, m_refresh, m_window);
        dialog->exec();
    });
}

void EntryCommands::editEntry()
{
    Procedure proc("Edit_Entry_Click");
    proc.step(__LINE__, [&] {
        const std::optional<ProgramRow> selected = m_list.selectedProgram();
        if (!selected)
            return;
        auto* dialog = new FrmEditEntry(m_services.context, *m_services.session.registry,
            m_services.session.wineServer.get(), m_services.messages, *selected, m_refresh, m_window);
        dialog->exec();
    });
}

void EntryCommands::uninstall()
{
    const std::optional<ProgramRow> selected = m_list.selectedProgram();
    if (!selected)
        return;
    // Under Wine, a short wait for the server is the rule (it exits about 2 s after the last program);
    // a longer one means other programs keep it running, and the user is shown which.
    WineSide wine;
    if (m_services.session.wineServer) {
        const QString name = QString::fromStdString(selected->text);
        std::optional<std::chrono::steady_clock::time_point> ended;
        wine = wineSideFor(
            *m_services.session.wineServer, m_services.session.registryView->redirects(),
            [this, ended, name]() mutable {
                const auto now = std::chrono::steady_clock::now();
                if (!ended)
                    ended = now;
                if (now - *ended < std::chrono::seconds(4))
                    return false;
                FrmWineWait wait(*m_services.session.wineServer, name, m_window);
                return wait.exec() == FrmWineWait::JudgeNow;
            },
            m_services.session.wine.program);
    }
    // While the uninstaller runs the window repaints, but input waits until it has ended.
    UninstallRun run(
        *m_services.session.registry, *m_services.session.processes, m_services.context.logPath,
        m_services.clock, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }, wine);
    FrmUninstallWait waiting(m_services.messages, QString::fromStdString(m_services.context.title),
        QString::fromStdString(selected->text), m_window);
    waiting.attach(run);
    const UninstallOutcome outcome = run.run({ selected->key, selected->text, selected->uninstallCommand });
    Procedure proc("Show_FormUninstall");
    if (outcome == UninstallOutcome::Removed) {
        proc.step(__LINE__, [&] { m_refresh(); });
    } else if (outcome == UninstallOutcome::StillPresent) {
        proc.step(__LINE__, [&] {
            auto* dialog = new FrmUninstaller(m_services.context, m_services.session.wineServer.get(),
                m_services.messages, run, *selected, m_refresh, m_window);
            dialog->exec();
        });
    }
}

void EntryCommands::deleteEntry()
{
    Procedure proc("Delete_Entry_Click");
    const std::optional<ProgramRow> selected = m_list.selectedProgram();
    if (!selected)
        return;
    bool uninstallInstead = false;
    proc.step(__LINE__, [&] {
        auto* dialog = new FrmDeleteEntry(
            m_services.context, *m_services.session.registry, m_services.session.wineServer.get(),
            m_services.messages, m_services.clock, *selected, m_refresh,
            [&uninstallInstead] { uninstallInstead = true; }, m_window);
        dialog->exec();
    });
    // The dialog has closed by now; the uninstall runs for the same row.
    if (uninstallInstead)
        uninstall();
}

void EntryCommands::changeIcon()
{
    Procedure proc("Mnu_ChangeIcon_Click", OnError::Skip);
    std::optional<ProgramRow> selected;
    proc.step(__LINE__, [&] { selected = m_list.selectedProgram(); });
    if (!selected)
        return;

    // Wine would write its own copy of the registry over the change: say so before anything is chosen.
    WineServer* const wine = m_services.session.wineServer.get();
    if (wine && wine->running())
        return refuseWhileWineRuns();

    const PathMapping paths = pathMapping();
    const QObject* cmdlgIcon = m_window->findChild<QObject*>(QStringLiteral("cmdlgIcon"));
    const QString initDir = cmdlgIcon->property("InitDir").toString();
    QString folder;
    proc.step(__LINE__, [&] {
        folder = QString::fromStdString(paths.resolve(initDir.toStdString()));
        if (folder.isEmpty() && !m_services.context.registryFile.empty())
            folder = QFileInfo(QString::fromStdString(m_services.context.registryFile)).absolutePath();
        if (folder.isEmpty())
            folder = initDir;
    });
    QString chosen;
    proc.step(__LINE__, [&] {
        chosen = m_services.messages.getOpenFileName(m_window, cmdlgIcon->property("DialogTitle").toString(),
            folder, cmdlgIcon->property("Filter").toString());
    });
    if (chosen.isEmpty())
        return;

    QString value;
    proc.step(__LINE__, [&] {
        value = QString::fromStdString(paths.windowsPath(chosen.toStdString()));
        if (value.right(3).toLower() != QStringLiteral("ico"))
            value += QStringLiteral(",0");
    });
    if (value.isEmpty())
        return;
    // A refused or failed write is said, not skipped: the list must not look changed when it is not.
    long rc = kErrorSuccess;
    {
        const WriteHold hold(wine);
        if (hold.refused())
            return refuseWhileWineRuns();
        rc = m_services.session.registry->SaveString(kHKeyLocalMachine,
            std::string(kUninstallPath) + selected->key, "DisplayIcon", value.toStdString());
    }
    if (rc != kErrorSuccess) {
        m_services.messages.critical(m_window, QString::fromStdString(m_services.context.title),
            writeFailureMessage(m_services.session.registry->api(), rc));
        return;
    }
    proc.step(__LINE__, [&] { m_refresh(); });
}

} // namespace tw
