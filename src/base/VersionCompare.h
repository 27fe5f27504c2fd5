// SPDX-License-Identifier: MIT
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading the published version file and comparing it with the running version.
namespace tw {

// A version as dotted decimal numbers, "1.0.6".
struct DottedVersion
{
    std::vector<std::uint64_t> parts;
};

// One or more decimal numbers joined by single dots, nothing else; nothing for any other text
// (also for a number too large for 64 bits).
std::optional<DottedVersion> parseDottedVersion(std::string_view text);

// Number by number, so 1.0.10 is above 1.0.6; a missing number counts as 0, so 1.0 equals 1.0.0.
std::strong_ordering compareVersions(const DottedVersion& a, const DottedVersion& b);

// The text without surrounding white space and without a UTF-8 byte-order mark, which editors on
// Windows like to put in front of a text file.
std::string_view trimVersionText(std::string_view text);

enum class UpdateStatus {
    Current, // the published version is the running one
    UpdateAvailable, // a newer version is published
    RunningNewer, // the running version is newer than the published one
    NotAVersion, // the file holds something else, an error page for instance
};

struct UpdateVerdict
{
    UpdateStatus status = UpdateStatus::NotAVersion;
    std::string published; // the version text as the file has it, trimmed
};

// Judges the version file's body against the running version.
UpdateVerdict judgeVersionFile(std::string_view body, const DottedVersion& running);

} // namespace tw
