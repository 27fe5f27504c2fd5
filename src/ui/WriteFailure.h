// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tw {

class RegistryApi;

// The words for a change the registry did not take: that nothing was changed, and why (the file and
// the system's reason where the backend knows them, else the registry's error code).
QString writeFailureMessage(const RegistryApi& api, long rc);

} // namespace tw
