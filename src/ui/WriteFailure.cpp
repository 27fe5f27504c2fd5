// SPDX-License-Identifier: MIT
#include "ui/WriteFailure.h"

#include "registry/RegistryApi.h"

namespace tw {

QString writeFailureMessage(const RegistryApi& api, long rc)
{
    QString why = QString::fromStdString(api.lastFailure());
    if (why.isEmpty()) {
        why = QStringLiteral("the registry refused it (error %1").arg(rc);
        if (rc == kErrorAccessDenied)
            why += QStringLiteral(": access denied");
        why += QLatin1Char(')');
    }
    return QStringLiteral("The change was not saved, and nothing was changed: ") + why + QLatin1Char('.');
}

} // namespace tw
