// SPDX-License-Identifier: MIT
#include "session/Session.h"

namespace tw {

void Session::adopt(OpenedRegistry opened)
{
    description = opened.description();
    wineServer = std::move(opened.server);
    registryApi = std::move(opened.backend);
    registryView = std::move(opened.api);
    registry = std::make_unique<Registry>(*registryView);
}

} // namespace tw
