// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tw::art {

// The window's pictures, drawn at start-up so they stay sharp at every size and need no files.

enum class ToolbarImage {
    Uninstall,
    DeleteFromList,
    ProgramDetails,
    ChangeIcon,
    AuditReport,
    NewProgram,
    UninstallLog,
    Exit
};

QPixmap toolbarImage(ToolbarImage image, int size = 32);
// The default program picture, image 1 of both icon lists.
QPixmap programPicture(int size);
// The side panel's sign beside the selection sentence.
QPixmap exclaimSign(int size = 32);

} // namespace tw::art
