// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DesktopService.h"

namespace tw {

class QtDesktopService : public DesktopService
{
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace tw
