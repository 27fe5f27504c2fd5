// SPDX-License-Identifier: MIT
#include "reports/TextFiles.h"

#include "base/Text.h"
#include "registry/FileStore.h"

namespace tw {

bool writeTextFile(const std::string& path, std::string_view document, std::string& error)
{
    std::string reason;
    if (filestore::replaceFile(path, text::utf8ToAnsi(document), reason))
        return true;
    error = "Cannot save " + path + ": " + reason;
    return false;
}

} // namespace tw
