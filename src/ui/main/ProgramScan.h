// SPDX-License-Identifier: MIT
#pragma once

#include "inventory/IconCache.h"
#include "inventory/Inventory.h"
#include "inventory/PathMapping.h"

#include <QIcon>

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tw {

struct AppContext;
class ImageList;
struct Session;

// What fills the program list: the scan's rows and each row's pair of icons in the two image lists.
// Every row that names the same icon of the same file shares one pair of images, made only when a
// view first draws one of them; program files are read once while they stay the same.
class ProgramScan
{
public:
    ProgramScan(const AppContext& context, Session& session, ImageList& large, ImageList& small);

    // The scan of the open registry's Uninstall key.
    Inventory inventory() const;
    // Empties both image lists but for the default picture at index 1.
    void resetImages();
    // The indexes of icon `iconIndex` of the file in both image lists; both are 1 (the default
    // picture) when the file is not there. An icon the file turns out not to have shows the default
    // picture too.
    void getIcon(const std::string& path, int& largeIndex, int& smallIndex, std::int32_t iconIndex);
    const QIcon& defaultPicture() const { return m_defaultPicture; }
    PathMapping pathMapping() const;

private:
    // One icon of one file, as both lists show it.
    struct Icon
    {
        std::string file;
        std::int32_t index = 0;
        bool made = false;
        QPixmap large;
        QPixmap small;
    };
    const Icon& made(std::size_t icon);

    const AppContext& m_context;
    Session& m_session;
    ImageList& m_large;
    ImageList& m_small;
    QIcon m_defaultPicture;
    icons::IconCache m_iconCache;
    // Since the last reset: the icons in the lists, by file and index, and the files the registry's
    // paths name.
    std::vector<Icon> m_icons;
    std::map<std::pair<std::string, std::int32_t>, int> m_listIndex;
    std::unordered_map<std::string, std::string> m_files;
    PathMapping m_paths;
};

} // namespace tw
