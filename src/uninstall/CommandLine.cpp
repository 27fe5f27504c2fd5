// SPDX-License-Identifier: MIT
#include "uninstall/CommandLine.h"

namespace tw {

namespace {

// The longest path Windows opens. A longer prefix names no file and is not looked up, so that the
// search over spaces costs at most this much per space, however long a hostile command line is.
constexpr std::size_t kMaxPathLength = 32767;

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

bool hasExtension(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    const auto dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// The file a program name stands for, as Windows finds it: the name itself, or, when it has no
// extension, the name with ".exe". Empty when neither exists.
std::string programFile(const std::string& name, const std::function<bool(const std::string&)>& fileExists)
{
    if (name.empty())
        return {};
    if (fileExists(name))
        return name;
    if (!hasExtension(name) && fileExists(name + ".exe"))
        return name + ".exe";
    return {};
}

} // namespace

std::vector<std::string> splitArguments(const std::string& text)
{
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (true) {
        while (i < n && isSpace(text[i]))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !isSpace(text[i]))) {
            std::size_t backslashes = 0;
            while (i < n && text[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < n && text[i] == '"') {
                // 2n backslashes and a quote: n backslashes and a quote that opens or closes;
                // 2n+1: n backslashes and a literal quote.
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    arg.push_back('"');
                    ++i;
                } else if (quoted && i + 1 < n && text[i + 1] == '"') {
                    // "" inside quotes is a literal quote.
                    arg.push_back('"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg.append(backslashes, '\\');
                if (i < n && (quoted || !isSpace(text[i])))
                    arg.push_back(text[i++]);
            }
        }
        args.push_back(arg);
    }
    return args;
}

SplitCommand splitCommandLine(
    const std::string& commandLine, const std::function<bool(const std::string&)>& fileExists)
{
    SplitCommand out;
    std::size_t i = 0;
    while (i < commandLine.size() && isSpace(commandLine[i]))
        ++i;
    std::size_t rest = commandLine.size();
    if (i < commandLine.size() && commandLine[i] == '"') {
        const auto close = commandLine.find('"', i + 1);
        out.program
            = commandLine.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
        rest = close == std::string::npos ? commandLine.size() : close + 1;
        if (std::string file = programFile(out.program, fileExists); !file.empty())
            out.program = std::move(file);
    } else {
        // Try each space in turn: the first prefix that names a file is the program.
        std::size_t end = i;
        std::size_t firstWordEnd = std::string::npos;
        bool found = false;
        while (!found) {
            end = commandLine.find_first_of(" \t", end + (end == i ? 0 : 1));
            const std::size_t stop = end == std::string::npos ? commandLine.size() : end;
            if (firstWordEnd == std::string::npos)
                firstWordEnd = stop;
            if (stop - i > kMaxPathLength)
                break;
            if (std::string file = programFile(commandLine.substr(i, stop - i), fileExists); !file.empty()) {
                out.program = std::move(file);
                rest = stop;
                found = true;
            }
            if (end == std::string::npos)
                break;
        }
        if (!found) {
            out.program = commandLine.substr(i, firstWordEnd - i);
            rest = firstWordEnd;
        }
    }
    out.arguments = splitArguments(commandLine.substr(rest));
    return out;
}

} // namespace tw
