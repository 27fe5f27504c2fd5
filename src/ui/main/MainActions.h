// SPDX-License-Identifier: MIT
#pragma once

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace tw {

class ImageList;

// The main window's menu bar and toolbar `Toolbar1`. Each item carries the name of its control; the
// toolbar's buttons carry their index (1 to 15, separators included) as data.
struct MainActions
{
    QMenu* file = nullptr;
    QAction* openPrefix = nullptr; // shown where other prefixes can be opened
    QAction* printAndSaveAudit = nullptr;
    QAction* exit = nullptr;

    QMenu* uninstall = nullptr;
    QAction* uninstallProgram = nullptr;
    QAction* deleteFromList = nullptr;
    QAction* programDetails = nullptr;
    QAction* editProgramDetails = nullptr;
    QAction* changeIcon = nullptr;
    QAction* newProgram = nullptr;
    QAction* uninstallLog = nullptr;

    QMenu* view = nullptr;
    QAction* largeIcons = nullptr;
    QAction* smallIcons = nullptr;
    QAction* list = nullptr;
    QAction* details = nullptr;
    QAction* refresh = nullptr;
    QAction* view32 = nullptr; // the programs a 32-bit program sees

    QMenu* help = nullptr;
    QAction* helpTopics = nullptr;
    QAction* about = nullptr;

    QToolBar* toolbar = nullptr;

    // Builds both in the window; the toolbar's images come from `images` (8 of them, in button order).
    static MainActions create(QMainWindow& window, const ImageList& images);
};

} // namespace tw
