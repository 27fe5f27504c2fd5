// SPDX-License-Identifier: MIT
#include "prefixes/Vdf.h"

#include <algorithm>

namespace tw::prefixes::vdf {

namespace {

struct SyntaxError
{
    int line;
    std::string message;
};

class Parser
{
public:
    explicit Parser(std::string_view text)
        : m_text(text)
    {
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_pos = 3;
    }

    // Reads entries into `object` up to its closing brace (or the end of the text at the top level).
    void readObject(Node& object, int depth, int openedOnLine)
    {
        for (;;) {
            Token key = next();
            if (key.kind == Kind::End) {
                if (depth > 0)
                    throw SyntaxError { openedOnLine, "the object opened here is not closed" };
                return;
            }
            if (key.kind == Kind::Close) {
                if (depth == 0)
                    throw SyntaxError { key.line, "'}' without an object to close" };
                return;
            }
            if (key.kind == Kind::Open)
                throw SyntaxError { key.line, "'{' where a key was expected" };
            // A platform condition such as [$WIN32] follows an entry; every entry is kept.
            if (!key.quoted && key.text.starts_with('['))
                continue;

            Token value = next();
            if (value.kind == Kind::Open) {
                if (depth + 1 > maxDepth)
                    throw SyntaxError { value.line,
                        "objects nested more than " + std::to_string(maxDepth) + " deep" };
                Node child { std::move(key.text), {}, true, {} };
                readObject(child, depth + 1, value.line);
                object.children.push_back(std::move(child));
            } else if (value.kind == Kind::Text) {
                object.children.push_back(Node { std::move(key.text), std::move(value.text), false, {} });
            } else {
                throw SyntaxError { key.line, "\"" + key.text + "\" has no value" };
            }
        }
    }

private:
    enum class Kind { End, Open, Close, Text };
    struct Token
    {
        Kind kind;
        int line;
        std::string text;
        bool quoted = false;
    };

    static bool isSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    }

    Token next()
    {
        skipSpaceAndComments();
        if (m_pos >= m_text.size())
            return { Kind::End, m_line, {} };
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            return { c == '{' ? Kind::Open : Kind::Close, m_line, {} };
        }
        if (c == '"')
            return quoted();
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && m_text[m_pos] != '{'
            && m_text[m_pos] != '}' && m_text[m_pos] != '"')
            ++m_pos;
        return { Kind::Text, m_line, std::string(m_text.substr(start, m_pos - start)) };
    }

    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (isSpace(c)) {
                ++m_pos;
            } else if (m_text.substr(m_pos, 2) == "//") {
                const std::size_t end = m_text.find('\n', m_pos);
                m_pos = end == std::string_view::npos ? m_text.size() : end;
            } else {
                return;
            }
        }
    }

    Token quoted()
    {
        Token t { Kind::Text, m_line, {}, true };
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"')
                return t;
            if (c == '\n')
                ++m_line;
            if (c != '\\' || m_pos >= m_text.size()) {
                t.text += c;
                continue;
            }
            const char e = m_text[m_pos++];
            switch (e) {
            case '\\':
            case '"':
                t.text += e;
                break;
            case 'n':
                t.text += '\n';
                break;
            case 't':
                t.text += '\t';
                break;
            default:
                // Not an escape Steam writes: kept as it stands, as a lone backslash in a path would be.
                t.text += '\\';
                --m_pos;
                break;
            }
        }
        throw SyntaxError { t.line, "the quoted text begun here is not closed" };
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

const Node* Node::find(std::string_view name) const
{
    const auto it
        = std::ranges::find_if(children, [&](const Node& n) { return equalsIgnoringCase(n.key, name); });
    return it == children.end() ? nullptr : &*it;
}

std::optional<std::string> Node::text(std::string_view name) const
{
    const Node* n = find(name);
    if (!n || n->isObject)
        return std::nullopt;
    return n->value;
}

std::optional<Node> parse(std::string_view text, std::string* error)
{
    Node root { {}, {}, true, {} };
    try {
        Parser(text).readObject(root, 0, 1);
    } catch (const SyntaxError& e) {
        if (error)
            *error = "line " + std::to_string(e.line) + ": " + e.message;
        return std::nullopt;
    }
    return root;
}

} // namespace tw::prefixes::vdf
