// SPDX-License-Identifier: MIT
#pragma once

#include "registry/Hive.h"
#include "registry/HiveSyntax.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw::hive {

// Reads values in every form Wine writes: "text", str(N):"text", dword:N, hex:.. and hex(N):.., the
// last two continued over lines that end in a backslash. Its buffers are reused from value to value, so
// that a value costs one allocation for its name and one for its data.
class ValueReader
{
public:
    // The value whose first line is `line`; reads the lines it continues on from `r`. Leaves its text to
    // the caller, who knows where it stands in the file.
    Value read(LineReader& r, std::string_view line);
    // The same into `v`, reusing what it holds: for values that are checked and thrown away.
    void read(LineReader& r, std::string_view line, Value& v);

private:
    void readData(LineReader& r, std::string_view line, std::size_t pos, Value& v);
    void readString(LineReader& r, std::string_view line, std::size_t pos, Value& v);
    void readHex(LineReader& r, std::string_view line, std::size_t pos, Value& v);

    std::u16string m_units;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace tw::hive
