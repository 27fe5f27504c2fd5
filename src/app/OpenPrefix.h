// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

class QWidget;

namespace tw {

struct Application;
class PrefixCatalogue;

// Opens the prefix in `folder` as the application's registry, in place of the one open (same view),
// and remembers it for the next start. False, once the user has been told why, when it cannot be.
bool openPrefix(Application& app, const std::string& folder, QWidget* parent);

// File > Open Prefix's list and choice over the application; nullptr where no prefixes are found.
std::unique_ptr<PrefixCatalogue> makePrefixCatalogue(Application& app);

} // namespace tw
