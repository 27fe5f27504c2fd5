// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/IconCache.h"
#include "inventory/Inventory.h"

#include <QIcon>

#include <cstdint>
#include <string>

namespace tw {

struct AppContext;
class ImageList;
class PathMapping;
struct Session;

// What fills the program list: the scan's rows and each row's pair of icons in the two image lists.
// Program files are read once while they stay the same, however many entries point at them.
class ProgramScan
{
public:
    ProgramScan(const AppContext& context, Session& session, ImageList& large, ImageList& small);

    // The scan of the open registry's Uninstall key.
    Inventory inventory() const;
    // Empties both image lists but for the default picture at index 1.
    void resetImages();
    // Adds icon `iconIndex` of the file to both image lists; both indexes are 1 when it cannot.
    void getIcon(const std::string& path, int& largeIndex, int& smallIndex, std::int32_t iconIndex);
    const QIcon& defaultPicture() const { return m_defaultPicture; }
    PathMapping pathMapping() const;

private:
    const AppContext& m_context;
    Session& m_session;
    ImageList& m_large;
    ImageList& m_small;
    QIcon m_defaultPicture;
    icons::IconCache m_iconCache;
};

} // namespace tw
