// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DesktopService.h"

#include <QList>

namespace tw {

// Records what would have been opened and opens nothing.
class RecordingDesktopService : public DesktopService
{
public:
    bool openUrl(const QUrl& url) override
    {
        m_opened.append(url);
        return true;
    }
    const QList<QUrl>& opened() const { return m_opened; }

private:
    QList<QUrl> m_opened;
};

} // namespace tw
