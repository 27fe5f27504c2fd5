// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace tw {

// The program's command line, read without Qt so that the commands start without loading it. The
// syntax, the help text and the messages are those of QCommandLineParser, which read it before: long
// options with "--name value" or "--name=value", short ones compacted ("-hv"), "--" ending the options.
class CommandLine
{
public:
    // The version --version prints.
    static const char* const kVersion;

    // False with error() set when the words do not make one clear request. `arguments` starts with the
    // program's name, as typed.
    bool read(const std::vector<std::string>& arguments);
    const std::string& error() const { return m_error; }

    bool help() const { return isSet(Help); }
    bool version() const { return isSet(Version); }
    bool list() const { return isSet(List); }
    bool report() const { return isSet(Report); }
    bool longFormat() const { return isSet(Long); }
    bool uninstall() const { return isSet(Uninstall); }
    bool force() const { return isSet(Force); }
    bool prefixes() const { return isSet(Prefixes); }
    bool timeout() const { return isSet(Timeout); }
    // The seconds --timeout gives; 0 when they are not a whole number from 1 to a year.
    int timeoutSeconds() const;
    bool demo() const { return isSet(Demo); }
    // The last value given, or empty.
    const std::string& registryFile() const { return value(Registry); }
    const std::string& userRegistryFile() const { return value(UserRegistry); }
    const std::string& prefix() const { return value(Prefix); }
    const std::string& view() const { return value(View); }
    const std::string& reportFile() const { return value(Report); }
    const std::string& uninstallKey() const { return value(Uninstall); }

    // Whether the line opens the window rather than running a command.
    bool windowWanted() const;
    // --help's text, for the program named as it was typed.
    std::string helpText() const;

private:
    enum Option {
        Help,
        Version,
        Registry,
        UserRegistry,
        Prefix,
        Demo,
        View,
        List,
        Report,
        Long,
        Uninstall,
        Force,
        Timeout,
        Prefixes,
        Count
    };

    bool parse(const std::vector<std::string>& arguments);
    bool isSet(Option option) const { return m_set[option]; }
    const std::string& value(Option option) const { return m_values[option]; }

    std::string m_program;
    bool m_set[Count] = {};
    std::string m_values[Count];
    std::vector<std::string> m_positional;
    std::vector<std::string> m_unknown;
    std::string m_error;
};

} // namespace tw
