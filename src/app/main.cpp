// SPDX-License-Identifier: MIT
// The program file reads the command line and runs the commands over the core alone; Qt's libraries are
// loaded only with the parts that use them (app/Parts.h), so a command starts without them.
#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/Parts.h"

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace {

// The locale as the user set it. Qt reads the numeric one from the environment, and the C locale's
// separator is known without asking it.
class ProgramLocale : public tw::LocaleForms
{
public:
    char decimalSeparator() override
    {
        if (numericLocaleIsC())
            return '.';
        return tw::parts::decimalSeparator();
    }
    tw::Clock clock() override { return tw::parts::localeClock(); }

private:
    static bool numericLocaleIsC()
    {
        std::string_view name;
        for (const char* variable : { "LC_ALL", "LC_NUMERIC", "LANG" }) {
            const char* value = std::getenv(variable);
            if (value && *value) {
                name = value;
                break;
            }
        }
        return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
    }
};

} // namespace

int main(int argc, char** argv)
{
    // The C library's locale as the user set it, as the application object used to leave it.
    std::setlocale(LC_ALL, "");
    tw::CommandLine line;
    if (!line.read(std::vector<std::string>(argv, argv + argc))) {
        std::cerr << line.error() << '\n';
        return 2;
    }
    try {
        if (line.windowWanted())
            return tw::parts::runWindow(argc, argv);
        ProgramLocale locale;
        return tw::runCommand(line, locale, std::cout, std::cerr);
    } catch (const tw::parts::PartMissing& e) {
        std::cerr << "tidewell: " << e.what() << '\n';
        return 2;
    }
}
