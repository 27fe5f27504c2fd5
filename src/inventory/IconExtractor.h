// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw::icons {

// One icon image as the platform hands it over; the UI decodes it.
struct IconImage
{
    enum class Format {
        Png, // a PNG file
        Dib, // an icon image as stored in a resource or .ico file: BITMAPINFOHEADER, colours, XOR and AND
             // masks
        Bgra, // width * height * 4 bytes, top row first, straight alpha
    };
    Format format = Format::Png;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> data;
};

struct IconPair
{
    IconImage large; // the image nearest 32 x 32
    IconImage small; // the image nearest 16 x 16
};

// ExtractIconExA for one large and one small icon: icon `index` of an .ico, .exe or .dll file (0-based
// over the file's icon groups; a negative index selects the group whose resource id is -index). `file`
// is a path on this system (see PathMapping). Nothing when the file has no such icon or cannot be read.
std::optional<IconPair> ExtractIconExA(const std::string& file, std::int32_t index);

} // namespace tw::icons
