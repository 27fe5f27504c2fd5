// SPDX-License-Identifier: MIT
#pragma once

namespace tw {

struct AppContext;
struct Clock;
class DesktopService;
class MessageService;
class PrefixCatalogue;
struct Session;

// What the main window works with; the application owns all of it and outlives the window. The
// window hands each dialog only the parts that dialog uses. Programs start through the session's
// processes, which follow the registry open.
struct MainServices
{
    const AppContext& context;
    Session& session;
    const Clock& clock;
    MessageService& messages;
    DesktopService* desktop; // none: links and help open nowhere
    PrefixCatalogue* prefixes = nullptr; // none: no other prefix can be opened (File > Open Prefix)
};

} // namespace tw
