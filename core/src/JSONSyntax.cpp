#include "JSONSyntax.h"

#include "morvex/UTF8.h"

#include <string>
#include <vector>

namespace morvex::detail {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

long unicodeUnit(std::string_view text)
{
    if (text.size() < 6 || text[0] != '\\' || text[1] != 'u')
        return -1;
    long value = 0;
    for (std::size_t i = 2; i < 6; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Text saved as UTF-16 or UTF-32, as some editors and shells write it: a byte-order mark, or a NUL beside a
// character that can begin JSON. Telling so helps more than the invalid byte it fails at.
bool wideUnicode(std::string_view text)
{
    using namespace std::string_view_literals;
    if (text.starts_with("\xFF\xFE"sv) || text.starts_with("\xFE\xFF"sv) || text.starts_with("\0\0\xFE\xFF"sv))
        return true;
    const auto begins = [](char c) {
        return c != '\0' && "{[\"-0123456789tfn \t\r\n"sv.find(c) != std::string_view::npos;
    };
    return text.size() >= 2 && ((text[0] == '\0' && begins(text[1])) || (text[1] == '\0' && begins(text[0])));
}

class Checker
{
public:
    explicit Checker(std::string_view text) : m_text(text), m_badUTF8(invalidUTF8At(text)) {}

    SyntaxCheck run()
    {
        // Containers are tracked on an explicit stack: deep text must not exhaust the machine stack.
        std::vector<char> open;
        enum class Want
        {
            value,
            key,
            afterValue
        } want = Want::value;
        if (wideUnicode(m_text))
            return fail("the text is UTF-16 or UTF-32: only UTF-8 is read");
        skipSpace();
        if (m_at == m_text.size())
            return fail("no JSON value found");
        for (;;) {
            skipSpace();
            if (want == Want::key) {
                if (!peek('"'))
                    return fail(atEnd() ? "unexpected end of text, expected a member name" : "expected a member name");
                if (!string())
                    return std::move(m_result);
                skipSpace();
                if (!peek(':'))
                    return fail("expected ':' after the member name");
                ++m_at;
                want = Want::value;
                continue;
            }
            if (want == Want::value) {
                if (atEnd())
                    return fail("unexpected end of text, expected a value");
                const char c = m_text[m_at];
                if (c == '{' || c == '[') {
                    if (open.size() >= maxJSONDepth)
                        return fail("nesting deeper than " + std::to_string(maxJSONDepth) + " levels");
                    open.push_back(c);
                    ++m_at;
                    skipSpace();
                    if (peek(c == '{' ? '}' : ']')) {
                        open.pop_back();
                        ++m_at;
                        want = Want::afterValue;
                    } else {
                        want = c == '{' ? Want::key : Want::value;
                    }
                    continue;
                }
                if (!scalar())
                    return std::move(m_result);
                want = Want::afterValue;
                continue;
            }
            // After a value.
            if (open.empty()) {
                if (!atEnd())
                    return fail("unexpected text after the JSON value");
                return std::move(m_result);
            }
            if (atEnd())
                return fail(open.back() == '{' ? "unexpected end of text, expected ',' or '}'"
                                               : "unexpected end of text, expected ',' or ']'");
            const char c = m_text[m_at];
            const char close = open.back() == '{' ? '}' : ']';
            if (c == close) {
                open.pop_back();
                ++m_at;
                continue;
            }
            if (c != ',')
                return fail(close == '}' ? "expected ',' or '}'" : "expected ',' or ']'");
            ++m_at;
            want = open.back() == '{' ? Want::key : Want::value;
        }
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }
    bool peek(char c) const { return !atEnd() && m_text[m_at] == c; }

    void skipSpace()
    {
        while (!atEnd() && isSpace(m_text[m_at]))
            ++m_at;
    }

    void setError(std::string reason, std::size_t offset)
    {
        JSONError error;
        error.reason = std::move(reason);
        error.offset = offset;
        locate(error, m_text);
        m_result.error = std::move(error);
    }

    SyntaxCheck fail(std::string reason)
    {
        setError(std::move(reason), m_at);
        return std::move(m_result);
    }

    bool failHere(std::string reason, std::size_t offset)
    {
        setError(std::move(reason), offset);
        return false;
    }

    bool scalar()
    {
        const char c = m_text[m_at];
        if (c == '"')
            return string();
        if (c == '-' || isDigit(c))
            return number();
        for (std::string_view word : {std::string_view("true"), std::string_view("false"), std::string_view("null")}) {
            if (m_text.substr(m_at, word.size()) == word) {
                m_at += word.size();
                return true;
            }
        }
        if (m_at == m_badUTF8)
            return failHere("invalid UTF-8", m_at);
        // Everything before the first bad sequence is well-formed: the character ends before the next lead byte.
        std::size_t length = 1;
        while (m_at + length < m_badUTF8 && (static_cast<unsigned char>(m_text[m_at + length]) & 0xC0) == 0x80)
            ++length;
        std::string shown(m_text.substr(m_at, length));
        if (static_cast<unsigned char>(c) < 0x20)
            shown = "control character";
        return failHere("unexpected '" + shown + "', expected a value", m_at);
    }

    bool string()
    {
        const std::size_t start = m_at++;
        for (;;) {
            if (atEnd())
                return failHere("unterminated string", start);
            const char c = m_text[m_at];
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return failHere("control character in a string (it must be escaped)", m_at);
            if (c == '\\') {
                if (!escape())
                    return false;
                continue;
            }
            if (m_at == m_badUTF8)
                return failHere("invalid UTF-8 in a string", m_at);
            ++m_at; // the bytes of a well-formed character are never a quote, backslash or control character
        }
    }

    bool escape()
    {
        const char* reason = nullptr;
        const std::size_t length = scanEscape(m_text.substr(m_at), &reason);
        if (length == 0)
            return failHere(reason, m_at);
        m_at += length;
        return true;
    }

    bool number()
    {
        const char* reason = nullptr;
        const std::size_t length = scanNumber(m_text.substr(m_at), &reason);
        if (length == 0)
            return failHere(reason, m_at);
        m_at += length;
        return true;
    }

    std::string_view m_text;
    std::size_t m_badUTF8; // where the first sequence that is not UTF-8 starts
    std::size_t m_at = 0;
    SyntaxCheck m_result;
};

} // namespace

std::size_t scanEscape(std::string_view text, const char** reason)
{
    auto fail = [&](const char* why) {
        if (reason)
            *reason = why;
        return std::size_t{0};
    };
    if (text.size() < 2)
        return fail("unterminated string");
    if (text[1] != 'u')
        return std::string_view("\"\\/bfnrt").find(text[1]) == std::string_view::npos
                   ? fail("invalid escape in a string")
                   : 2;
    const long first = unicodeUnit(text);
    if (first < 0)
        return fail("invalid \\u escape in a string");
    if (first >= 0xDC00 && first <= 0xDFFF)
        return fail("lone low surrogate in a \\u escape");
    if (first < 0xD800 || first > 0xDBFF)
        return 6;
    const long second = unicodeUnit(text.substr(6));
    if (second < 0xDC00 || second > 0xDFFF)
        return fail("high surrogate in a \\u escape without its low surrogate");
    return 12;
}

std::size_t scanNumber(std::string_view text, const char** reason)
{
    auto fail = [&](const char* why) {
        if (reason)
            *reason = why;
        return std::size_t{0};
    };
    std::size_t at = 0;
    auto digits = [&] {
        const std::size_t start = at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        return at > start;
    };
    if (at < text.size() && text[at] == '-')
        ++at;
    if (at < text.size() && text[at] == '0') {
        ++at;
        if (at < text.size() && isDigit(text[at]))
            return fail("invalid number: leading zeros are not allowed");
    } else if (!digits()) {
        return fail("invalid number");
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!digits())
            return fail("invalid number: digits must follow the decimal point");
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (!digits())
            return fail("invalid number: digits must follow the exponent");
    }
    return at;
}

SyntaxCheck checkJSONSyntax(std::string_view text)
{
    return Checker(text).run();
}

void locate(JSONError& error, std::string_view text)
{
    error.line = 1;
    error.column = 1;
    const std::size_t end = std::min(error.offset, text.size());
    for (std::size_t i = 0; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            ++error.line;
            error.column = 1;
        } else if ((byte & 0xC0) != 0x80) {
            ++error.column; // count characters, not bytes
        }
    }
}

} // namespace morvex::detail
