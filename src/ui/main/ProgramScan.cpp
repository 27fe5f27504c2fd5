// SPDX-License-Identifier: MIT
#include "ui/main/ProgramScan.h"

#include "base/AppContext.h"
#include "base/Errors.h"
#include "base/FsPath.h"
#include "inventory/IconExtractor.h"
#include "session/Session.h"
#include "ui/IconDecoder.h"
#include "ui/main/Artwork.h"
#include "ui/main/ImageList.h"

#include <QLocale>

#include <filesystem>

namespace tw {
namespace {

char decimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

// Whether the file is there to be read, as the icon cache asks.
bool isThere(const std::string& file)
{
    std::error_code ec;
    [[maybe_unused]] const auto size = std::filesystem::file_size(toFsPath(file), ec);
    return !ec;
}

} // namespace

ProgramScan::ProgramScan(const AppContext& context, Session& session, ImageList& large, ImageList& small)
    : m_context(context)
    , m_session(session)
    , m_large(large)
    , m_small(small)
{
    m_defaultPicture.addPixmap(art::programPicture(32));
    m_defaultPicture.addPixmap(art::programPicture(16));
}

PathMapping ProgramScan::pathMapping() const
{
    const std::string& file = m_context.registryFile;
    return file.empty() ? PathMapping() : PathMapping::forRegistryFile(file);
}

Inventory ProgramScan::inventory() const
{
    return Inventory(*m_session.views, m_context.osName, pathMapping(), decimalSeparator());
}

void ProgramScan::resetImages()
{
    m_small.clear();
    m_large.clear();
    m_icons.clear();
    m_listIndex.clear();
    m_files.clear();
    m_paths = pathMapping();
    m_small.add(m_defaultPicture.pixmap(16, 16));
    m_large.add(m_defaultPicture.pixmap(32, 32));
}

void ProgramScan::getIcon(const std::string& path, int& largeIndex, int& smallIndex, std::int32_t iconIndex)
{
    largeIndex = 1;
    smallIndex = 1;
    Procedure proc("getIcon", OnError::Leave);
    proc.step(__LINE__, [&] {
        // Many entries name one program file: its path is looked up once.
        auto found = m_files.find(path);
        if (found == m_files.end())
            found = m_files.emplace(path, m_paths.resolve(path)).first;
        const std::string& file = found->second;
        if (file.empty())
            return;
        const auto [at, added] = m_listIndex.try_emplace({ file, iconIndex }, 1);
        if (added && isThere(file)) {
            // Both lists get the icon at one index, so they keep the same count.
            const std::size_t icon = m_icons.size();
            Icon& entry = m_icons.emplace_back();
            entry.file = file;
            entry.index = iconIndex;
            m_large.addDeferred([this, icon] { return made(icon).large; });
            at->second = m_small.addDeferred([this, icon] { return made(icon).small; });
        }
        largeIndex = at->second;
        smallIndex = at->second;
    });
}

const ProgramScan::Icon& ProgramScan::made(std::size_t index)
{
    Icon& icon = m_icons.at(index);
    if (icon.made)
        return icon;
    icon.made = true;
    Procedure proc("getIcon", OnError::Leave);
    proc.step(__LINE__, [&] {
        const std::optional<icons::IconPair>& pair = m_iconCache.extract(icon.file, icon.index);
        if (!pair)
            return;
        // Both images or neither.
        const QPixmap large = fitIcon(decodeIconImage(pair->large), m_large.imageSize());
        const QPixmap small = fitIcon(decodeIconImage(pair->small), m_small.imageSize());
        if (large.isNull() || small.isNull())
            return;
        icon.large = large;
        icon.small = small;
    });
    if (icon.large.isNull()) {
        icon.large = m_large.image(1);
        icon.small = m_small.image(1);
    }
    return icon;
}

} // namespace tw
