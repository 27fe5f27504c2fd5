// SPDX-License-Identifier: MIT
// Test helper: saves two versions of a large document over one file in turn, until it is killed.
// Usage: tidewell_text_writer FILE COUNT
#include "TextWriterDocument.h"
#include "reports/TextFiles.h"

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const int count = std::atoi(argv[2]);
    // Made once, so that the time goes to saving.
    const std::string versions[] = { tw::test::versionedDocument(1), tw::test::versionedDocument(2) };
    std::string error;
    for (int i = 0; i < count; ++i) {
        if (!tw::writeTextFile(argv[1], versions[i % 2], error))
            return 3;
    }
    return 0;
}
