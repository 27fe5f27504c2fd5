// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <algorithm>
#include <string_view>

#ifndef TIDEWELL_VERSION
#error "TIDEWELL_VERSION comes from the project's version (src/CMakeLists.txt)"
#endif

namespace tw {

const char* const CommandLine::kVersion = TIDEWELL_VERSION;

namespace {

struct OptionSpec
{
    const char* shortName; // nullptr when none
    const char* longName;
    const char* valueName; // nullptr for a switch
    const char* description;
};

// In the order --help lists them.
constexpr OptionSpec kOptions[] = {
    { "h", "help", nullptr, "Displays help on commandline options." },
    { "v", "version", nullptr, "Displays version information." },
    { nullptr, "registry", "file",
        "Use the registry file <file> (Wine's system.reg format) instead of the default." },
    { nullptr, "user-registry", "file",
        "With --registry: also list the per-user programs of the registry file <file> (Wine's user.reg "
        "format). A prefix's own user.reg is read without it." },
    { nullptr, "prefix", "folder",
        "Use the registry of the Wine prefix <folder>, or of the one prefix --prefixes names so (default: "
        "the prefix last opened in the window, else WINEPREFIX, else ~/.wine)." },
    { nullptr, "demo", nullptr, "Use the demo registry (your own copy of it), whatever else is at hand." },
    { nullptr, "view", "bits",
        "Show, of the machine's programs, only those a 64-bit (64) or a 32-bit (32) program sees (default: "
        "both); the per-user programs are shown either way." },
    { nullptr, "list", nullptr,
        "Print the program list (registry name, display name, size, last used on, frequency, uninstall "
        "command; separated by tabs) and exit, without opening a window." },
    { nullptr, "report", "file",
        "Write the audit report of the programs to <file> as the report window saves it, and exit, without "
        "opening a window." },
    { nullptr, "long", nullptr, "With --report: the long format (size and uninstall command too)." },
    { nullptr, "uninstall", "key",
        "Run the uninstaller of the entry <key> (its registry name), wait for it and tell whether the entry "
        "is gone, without opening a window. Exit status 0: gone, 1: still there, 2: error." },
    { nullptr, "force", nullptr,
        "With --uninstall: remove an entry its uninstaller left behind, or one whose uninstaller is not "
        "there." },
    { nullptr, "timeout", "seconds",
        "With --uninstall: stop waiting for the uninstaller after <seconds>, leave it running and tell "
        "whether the entry is gone at that moment." },
    { nullptr, "prefixes", nullptr,
        "Print the Wine prefixes the front-ends of this computer made, one line each (folder, owners, the "
        "name each gives it, the programs --list would list; separated by tabs, several owners of one "
        "prefix joined by commas) and exit, without opening a window." },
};

constexpr const char* kDescription
    = "Lists the programs installed on a Windows system or in a registry file, and uninstalls them.";

int find(const std::string& name)
{
    for (int i = 0; i < static_cast<int>(std::size(kOptions)); ++i) {
        const OptionSpec& o = kOptions[i];
        if ((o.shortName && name == o.shortName) || name == o.longName)
            return i;
    }
    return -1;
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The bytes of the UTF-8 character that starts at `at`, so that a compacted short option is one letter
// however it is encoded.
std::size_t characterLength(const std::string& s, std::size_t at)
{
    std::size_t n = 1;
    while (at + n < s.size() && (static_cast<unsigned char>(s[at + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

std::string padded(std::string s, std::size_t width)
{
    if (s.size() < width)
        s.append(width - s.size(), ' ');
    return s;
}

// One option's lines of the help: the names in a column of `nameWidth`, the description wrapped beside
// them to end before column 80, broken after a space where it can be.
std::string wrapText(const std::string& names, int nameWidth, const std::string& description)
{
    const std::string indentation = "  ";
    std::size_t nameIndex = 0;
    auto nextNameSection = [&] {
        std::string section
            = names.substr(std::min(nameIndex, names.size()), static_cast<std::size_t>(nameWidth));
        nameIndex += section.size();
        return section;
    };

    std::string text;
    long lineStart = 0;
    long lastBreakable = -1;
    const int max = 79 - (static_cast<int>(indentation.size()) + nameWidth + 1);
    int x = 0;
    const long len = static_cast<long>(description.size());
    for (long i = 0; i < len; ++i) {
        ++x;
        const char c = description[static_cast<std::size_t>(i)];
        if (isSpace(c))
            lastBreakable = i;
        long breakAt = -1;
        long nextLineStart = -1;
        if (x > max && lastBreakable != -1) {
            breakAt = lastBreakable;
            nextLineStart = lastBreakable + 1;
        } else if ((x > max - 1 && lastBreakable == -1) || i == len - 1) {
            breakAt = i + 1;
            nextLineStart = breakAt;
        } else if (c == '\n') {
            breakAt = i;
            nextLineStart = i + 1;
        }
        if (breakAt != -1) {
            text += indentation + padded(nextNameSection(), static_cast<std::size_t>(nameWidth)) + ' ';
            text += description.substr(
                        static_cast<std::size_t>(lineStart), static_cast<std::size_t>(breakAt - lineStart))
                + '\n';
            x = 0;
            lastBreakable = -1;
            lineStart = nextLineStart;
            if (lineStart < len && isSpace(description[static_cast<std::size_t>(lineStart)]))
                ++lineStart;
            i = lineStart;
        }
    }
    while (nameIndex < names.size())
        text += indentation + nextNameSection() + '\n';
    return text;
}

} // namespace

bool CommandLine::parse(const std::vector<std::string>& arguments)
{
    std::fill(std::begin(m_set), std::end(m_set), false);
    std::fill(std::begin(m_values), std::end(m_values), std::string());
    m_positional.clear();
    m_unknown.clear();
    m_error.clear();
    std::string valueError;
    if (arguments.empty())
        return false;
    m_program = arguments.front();

    bool error = false;
    bool forcePositional = false;
    std::size_t i = 1;
    const std::size_t n = arguments.size();
    auto registerFound = [&](const std::string& name) {
        const int option = find(name);
        if (option < 0) {
            m_unknown.push_back(name);
            return false;
        }
        m_set[option] = true;
        return true;
    };
    // The value of a known option: after '=' in the word, else the next word.
    auto parseValue = [&](const std::string& name, const std::string& word) {
        const int option = find(name);
        if (option < 0)
            return true;
        const auto assign = word.find('=');
        if (kOptions[option].valueName) {
            if (assign == std::string::npos) {
                if (++i == n) {
                    valueError = "Missing value after '" + word + "'.";
                    return false;
                }
                m_values[option] = arguments[i];
            } else {
                m_values[option] = word.substr(assign + 1);
            }
        } else if (assign != std::string::npos) {
            valueError = "Unexpected value after '" + word.substr(0, assign) + "'.";
            return false;
        }
        return true;
    };

    for (; i < n; ++i) {
        const std::string& word = arguments[i];
        if (forcePositional) {
            m_positional.push_back(word);
        } else if (word.starts_with("--")) {
            if (word.size() > 2) {
                const std::size_t equals = word.find('=');
                const std::string name = word.substr(2, equals == std::string::npos ? equals : equals - 2);
                if (!registerFound(name) || !parseValue(name, word))
                    error = true;
            } else {
                forcePositional = true;
            }
        } else if (word.starts_with('-')) {
            if (word.size() == 1) {
                m_positional.push_back(word);
                continue;
            }
            // Compacted short options: "-hv" is "-h -v".
            std::string name;
            bool valueFound = false;
            for (std::size_t pos = 1; pos < word.size();) {
                const std::size_t length = characterLength(word, pos);
                name = word.substr(pos, length);
                if (!registerFound(name)) {
                    error = true;
                } else {
                    const int option = find(name);
                    if (kOptions[option].valueName) {
                        if (pos + length < word.size()) {
                            std::size_t from = pos + length;
                            if (word[from] == '=')
                                ++from;
                            m_values[option] = word.substr(from);
                            valueFound = true;
                        }
                        break;
                    }
                    if (pos + length < word.size() && word[pos + length] == '=')
                        break;
                }
                pos += length;
            }
            if (!valueFound && !parseValue(name, word))
                error = true;
        } else {
            m_positional.push_back(word);
        }
    }

    if (!valueError.empty())
        m_error = valueError;
    else if (m_unknown.size() == 1)
        m_error = "Unknown option '" + m_unknown.front() + "'.";
    else if (m_unknown.size() > 1) {
        m_error = "Unknown options: ";
        for (std::size_t k = 0; k < m_unknown.size(); ++k)
            m_error += (k ? ", " : "") + m_unknown[k];
        m_error += '.';
    }
    return !error;
}

bool CommandLine::read(const std::vector<std::string>& arguments)
{
    if (!parse(arguments))
        return false;
    if (help() || version())
        return true;
    // A word the program would ignore is more likely a mistake than a wish: say so rather than act
    // on a guess.
    std::string why;
    if (!m_positional.empty())
        why = "unexpected argument: " + m_positional.front();
    else if (int(list()) + int(report()) + int(uninstall()) + int(prefixes()) > 1)
        why = "--list, --report, --uninstall and --prefixes cannot be combined";
    else if (prefixes() && (isSet(Registry) || isSet(UserRegistry) || isSet(Prefix) || demo()))
        why = "--prefixes lists every prefix; --registry, --user-registry, --prefix and --demo do not go "
              "with it";
    else if (isSet(UserRegistry) && !isSet(Registry))
        why = "--user-registry goes with --registry (a prefix's own user.reg is read without it)";
    else if (longFormat() && !report())
        why = "--long goes with --report";
    else if (force() && !uninstall())
        why = "--force goes with --uninstall";
    else if (timeout() && !uninstall())
        why = "--timeout goes with --uninstall";
    else if (timeout() && timeoutSeconds() <= 0)
        why = "--timeout takes a whole number of seconds, 1 or more";
    else if (int(isSet(Registry)) + int(isSet(Prefix)) + int(demo()) > 1)
        why = "--registry, --prefix and --demo each name a registry; give one";
    else if (isSet(View) && view() != "32" && view() != "64")
        why = "--view takes 32 or 64";
    if (!why.empty())
        m_error = "tidewell: " + why;
    return why.empty();
}

int CommandLine::timeoutSeconds() const
{
    // As Qt reads a whole number: blanks around it and a sign are allowed.
    std::string_view text = value(Timeout);
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr long kYear = 366L * 24 * 3600;
    long seconds = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        seconds = seconds * 10 + (c - '0');
        if (seconds > kYear)
            return 0;
    }
    if (text.empty() || negative || seconds == 0)
        return 0;
    return static_cast<int>(seconds);
}

bool CommandLine::windowWanted() const
{
    return !help() && !version() && !list() && !report() && !uninstall() && !prefixes();
}

std::string CommandLine::helpText() const
{
    std::string text = "Usage: " + m_program + " [options]\n" + kDescription + "\n\nOptions:\n";
    std::vector<std::string> names;
    std::size_t longest = 0;
    for (const OptionSpec& o : kOptions) {
        std::string s = o.shortName ? std::string("-") + o.shortName + ", --" + o.longName
                                    : std::string("--") + o.longName;
        if (o.valueName)
            s += std::string(" <") + o.valueName + '>';
        longest = std::max(longest, s.size());
        names.push_back(std::move(s));
    }
    const int nameWidth = std::min(50, static_cast<int>(longest) + 1);
    for (std::size_t k = 0; k < names.size(); ++k)
        text += wrapText(names[k], nameWidth, kOptions[k].description);
    return text;
}

} // namespace tw
