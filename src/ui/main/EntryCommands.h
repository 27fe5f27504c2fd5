// SPDX-License-Identifier: MIT
#pragma once

#include "ui/main/MainServices.h"

#include <functional>

class QWidget;

namespace tw {

class PathMapping;
class ProgramList;

// The commands that change the Uninstall key for the selected row: new entry, edit, delete from the
// list, uninstall and change icon. Each opens its dialog over the main window and refreshes the list
// once something may have changed.
class EntryCommands
{
public:
    EntryCommands(
        const MainServices& services, ProgramList& list, QWidget* window, std::function<void()> refresh);

    void newEntry();
    void editEntry();
    void uninstall();
    void deleteEntry();
    void changeIcon();

private:
    PathMapping pathMapping() const;
    void refuseWhileWineRuns();

    MainServices m_services;
    ProgramList& m_list;
    QWidget* m_window;
    std::function<void()> m_refresh;
};

} // namespace tw
