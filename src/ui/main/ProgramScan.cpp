// SPDX-License-Identifier: MIT
#include "ui/main/ProgramScan.h"

#include "base/AppContext.h"
#include "base/Errors.h"
#include "inventory/IconExtractor.h"
#include "inventory/PathMapping.h"
#include "session/Session.h"
#include "ui/IconDecoder.h"
#include "ui/main/Artwork.h"
#include "ui/main/ImageList.h"

#include <QLocale>

namespace tw {
namespace {

char decimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
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
    m_small.add(m_defaultPicture.pixmap(16, 16));
    m_large.add(m_defaultPicture.pixmap(32, 32));
}

void ProgramScan::getIcon(const std::string& path, int& largeIndex, int& smallIndex, std::int32_t iconIndex)
{
    largeIndex = 1;
    smallIndex = 1;
    Procedure proc("getIcon", OnError::Leave);
    proc.step(__LINE__, [&] {
        const std::string file = pathMapping().resolve(path);
        if (file.empty())
            return;
        // Many entries share a program file: it is read once while it stays the same.
        const std::optional<icons::IconPair> icon = m_iconCache.extract(file, iconIndex);
        if (!icon)
            return;
        // Both images or neither, so the two lists keep the same count.
        const QPixmap large = fitIcon(decodeIconImage(icon->large), m_large.imageSize());
        const QPixmap small = fitIcon(decodeIconImage(icon->small), m_small.imageSize());
        if (large.isNull() || small.isNull())
            return;
        m_large.add(large);
        m_small.add(small);
        largeIndex = m_large.count();
        smallIndex = m_small.count();
    });
}

} // namespace tw
