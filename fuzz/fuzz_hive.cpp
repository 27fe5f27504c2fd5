// SPDX-License-Identifier: MIT
// A registry file: parsed, saved and parsed again, and opened by the registry, which changes it once.
#include "fuzz/FuzzMain.h"

#include <random>

namespace {

// One scratch folder per process (parallel runs must not share it), removed at exit.
class Scratch
{
public:
    Scratch()
    {
        std::random_device rd;
        m_dir = std::filesystem::temp_directory_path()
            / ("tidewell-fuzz-hive-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_dir);
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::filesystem::path file() const { return m_dir / "system.reg"; }

private:
    std::filesystem::path m_dir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return tw::fuzz::runOne(
        [](tw::fuzz::Input in) {
            static const Scratch scratch;
            tw::fuzz::hiveFile(in, scratch.file());
        },
        data, size);
}
