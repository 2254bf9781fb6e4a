#include "JSONSyntax.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

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

// Length of the UTF-8 sequence at `at`, or 0 when it is not valid UTF-8.
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned lead = byte(at);
    auto continuation = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
        const unsigned b = byte(i);
        return b >= low && b <= high;
    };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(at + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : 0xBF; // no encoded surrogates
        return continuation(at + 1, low, high) && continuation(at + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
        return continuation(at + 1, low, high) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
    }
    return 0;
}

class Checker
{
public:
    explicit Checker(std::string_view text) : m_text(text) {}

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
        if (utf8Length(m_text, m_at) == 0)
            return failHere("invalid UTF-8", m_at);
        std::string shown(m_text.substr(m_at, utf8Length(m_text, m_at)));
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
            const std::size_t length = utf8Length(m_text, m_at);
            if (length == 0)
                return failHere("invalid UTF-8 in a string", m_at);
            m_at += length;
        }
    }

    // Reads \uXXXX at m_at; -1 when malformed.
    long unicodeEscape()
    {
        if (m_text.substr(m_at, 2) != "\\u" || m_at + 6 > m_text.size())
            return -1;
        long value = 0;
        for (std::size_t i = 2; i < 6; ++i) {
            const int digit = hexValue(m_text[m_at + i]);
            if (digit < 0)
                return -1;
            value = value * 16 + digit;
        }
        m_at += 6;
        return value;
    }

    bool escape()
    {
        const std::size_t start = m_at;
        if (m_at + 1 >= m_text.size())
            return failHere("unterminated string", m_at);
        const char kind = m_text[m_at + 1];
        if (kind != 'u') {
            if (std::string_view("\"\\/bfnrt").find(kind) == std::string_view::npos)
                return failHere("invalid escape in a string", start);
            m_at += 2;
            return true;
        }
        const long first = unicodeEscape();
        if (first < 0)
            return failHere("invalid \\u escape in a string", start);
        if (first >= 0xDC00 && first <= 0xDFFF)
            return failHere("lone low surrogate in a \\u escape", start);
        if (first >= 0xD800 && first <= 0xDBFF) {
            const long second = unicodeEscape();
            if (second < 0xDC00 || second > 0xDFFF)
                return failHere("high surrogate in a \\u escape without its low surrogate", start);
        }
        return true;
    }

    bool number()
    {
        const std::size_t start = m_at;
        bool integer = true;
        if (peek('-'))
            ++m_at;
        if (peek('0')) {
            ++m_at;
        } else if (!atEnd() && isDigit(m_text[m_at])) {
            while (!atEnd() && isDigit(m_text[m_at]))
                ++m_at;
        } else {
            return failHere("invalid number", start);
        }
        if (peek('.')) {
            integer = false;
            ++m_at;
            if (atEnd() || !isDigit(m_text[m_at]))
                return failHere("invalid number: digits must follow the decimal point", start);
            while (!atEnd() && isDigit(m_text[m_at]))
                ++m_at;
        }
        if (peek('e') || peek('E')) {
            integer = false;
            ++m_at;
            if (peek('+') || peek('-'))
                ++m_at;
            if (atEnd() || !isDigit(m_text[m_at]))
                return failHere("invalid number: digits must follow the exponent", start);
            while (!atEnd() && isDigit(m_text[m_at]))
                ++m_at;
        }
        if (!atEnd() && (isDigit(m_text[m_at]) || m_text[m_at] == '.'))
            return failHere("invalid number: leading zeros are not allowed", start);
        noteWidth(start, m_at - start, integer);
        return true;
    }

    void noteWidth(std::size_t start, std::size_t length, bool integer)
    {
        const std::string token(m_text.substr(start, length));
        bool wide = false;
        if (integer) {
            const bool negative = token[0] == '-';
            std::string_view digits(token);
            if (negative)
                digits.remove_prefix(1);
            // Limits: 2^63 for negatives, 2^64 - 1 otherwise.
            const std::string_view limit = negative ? "9223372036854775808" : "18446744073709551615";
            wide = digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit);
        } else {
            errno = 0;
            const double value = std::strtod(token.c_str(), nullptr);
            wide = std::isinf(value);
        }
        if (wide)
            m_result.wideNumbers.push_back({start, length});
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    SyntaxCheck m_result;
};

} // namespace

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
