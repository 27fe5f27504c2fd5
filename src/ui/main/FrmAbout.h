// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

namespace tw {

struct AppContext;
class DesktopService;

// The About box: the product, its version and what it does.
class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    // The link opens through `desktop` (none: the link is shown but does nothing).
    FrmAbout(const AppContext& context, DesktopService* desktop, QWidget* parent);
};

} // namespace tw
