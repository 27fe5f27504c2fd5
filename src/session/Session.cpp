// SPDX-License-Identifier: MIT
#include "session/Session.h"

namespace tw {

void Session::adopt(
    OpenedRegistry opened, PrefixOwners owners, std::function<bool(const std::string&)> askSystemWine)
{
    // What refers to the old registry goes before what it refers to.
    processes.reset();
    registry.reset();
    registryView.reset();
    registryApi.reset();
    wineServer.reset();

    description = opened.description(owners.label);
    prefix = opened.prefix;
    wine = std::move(owners.wine);
    WineRun run { wine.program, {} };
    if (wine.asksFirst() && askSystemWine)
        run.mayUseSystemWine
            = [ask = std::move(askSystemWine), question = wine.question()] { return ask(question); };
    else if (wine.asksFirst())
        run.mayUseSystemWine = [] { return false; };
    processes
        = makeProcessCalls(PathMapping::forRegistryFile(opened.file), opened.winePrefix(), std::move(run));
    wineServer = std::move(opened.server);
    registryApi = std::move(opened.backend);
    registryView = std::move(opened.api);
    registry = std::make_unique<Registry>(*registryView);
}

} // namespace tw
