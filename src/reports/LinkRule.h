// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Which texts from an uninstall entry may be opened as links. Anyone can write the registry, so a help
// link is only trusted to name a web or mail address: http, https, ftp or mailto (the scheme in any
// letter case), or a bare "www." address, which is read as http. Anything else, a program path
// above all, is not a link.
//
// Returns the address to open, or nothing. Surrounding spaces are ignored; white space or control
// characters inside, or an address without a host, make the text no link.
std::optional<std::string> linkTarget(std::string_view text);

} // namespace tw
