#pragma once

// Deterministic benchmark documents: the same bytes on every run.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

namespace morvex::bench {

class Random
{
public:
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t limit) { return next() % limit; }

private:
    std::uint64_t m_state = 42;
};

inline const char* const words[] = {"alpha", "beta",   "gamma",     "delta",       "naïve", "café",
                                    "東京",  "Zürich", "omega",     "kappa",       "sigma", "théâtre",
                                    "data",  "model",  "\\\"q\\\"", "line\\nbreak"};

inline void appendWords(std::string& out, Random& random, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += ' ';
        out += words[random.below(sizeof words / sizeof *words)];
    }
}

inline void appendNumber(std::string& out, double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    out += buffer;
}

inline void appendRecord(std::string& out, Random& random, std::uint64_t id)
{
    out += "{\"id\":" + std::to_string(id);
    out += ",\"uuid\":\"";
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "%016" PRIx64 "-%08" PRIx64, random.next(), random.below(1ull << 32));
    out += uuid;
    out += "\",\"name\":\"";
    appendWords(out, random, 2);
    out += "\",\"bio\":\"";
    appendWords(out, random, 12);
    out += " \\u00e9\\t\",\"active\":";
    out += random.below(2) ? "true" : "false";
    out += ",\"score\":";
    appendNumber(out, static_cast<double>(random.below(100000)) / 100.0);
    out += ",\"balance\":";
    appendNumber(out, -static_cast<double>(random.below(1000000)) * 1.5e-2);
    out += ",\"tags\":[";
    for (std::uint64_t t = 0, n = random.below(4); t < n; ++t) {
        out += t ? ",\"" : "\"";
        appendWords(out, random, 1);
        out += '"';
    }
    out += "],\"address\":{\"street\":\"" + std::to_string(random.below(999)) + " ";
    appendWords(out, random, 2);
    out += "\",\"city\":\"Oslo\",\"geo\":{\"lat\":";
    appendNumber(out, 59.0 + static_cast<double>(random.below(1000)) / 1000.0);
    out += ",\"lng\":";
    appendNumber(out, 10.0 + static_cast<double>(random.below(1000)) / 1000.0);
    out += "}},\"friends\":[";
    for (std::uint64_t f = 0, n = 1 + random.below(3); f < n; ++f) {
        out += f ? ",{\"id\":" : "{\"id\":";
        out += std::to_string(random.below(1000000));
        out += ",\"name\":\"";
        appendWords(out, random, 2);
        out += "\",\"since\":null}";
    }
    out += "],\"meta\":null}";
}

/// An API-like response of about `bytes` bytes: a page of records in a "data" array.
inline std::string apiDocument(std::size_t bytes)
{
    Random random;
    std::string text;
    text.reserve(bytes + 4096);
    text = "{\"status\":\"ok\",\"page\":{\"number\":1,\"size\":100,\"total\":12345},\"data\":[";
    std::uint64_t id = 0;
    while (text.size() + 1200 < bytes) {
        if (id > 0)
            text += ',';
        appendRecord(text, random, id++);
    }
    text += "],\"links\":{\"next\":\"https://api.example.com/v1/items?page=2\",\"prev\":null}}\n";
    return text;
}

/// A top-level array of `count` small objects (each makes a type).
inline std::string longArrayDocument(int count = 1000000)
{
    Random random;
    std::string text = "[";
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ',';
        text += "{\"id\":" + std::to_string(i) + ",\"ok\":" + (random.below(2) ? "true" : "false") + ",\"v\":";
        appendNumber(text, static_cast<double>(random.below(10000)) / 7.0);
        text += '}';
    }
    text += "]\n";
    return text;
}

/// One object with 100,000 keys.
inline std::string wideObjectDocument()
{
    Random random;
    std::string text = "{";
    for (int i = 0; i < 100000; ++i) {
        if (i > 0)
            text += ',';
        text += "\"key" + std::to_string(i) + "\":";
        switch (random.below(4)) {
        case 0:
            text += std::to_string(random.below(1000));
            break;
        case 1:
            text += "\"text\"";
            break;
        case 2:
            text += "true";
            break;
        default:
            text += "{\"x\":1}";
        }
    }
    text += "}\n";
    return text;
}

/// {"a":{"a":...1...}} nested `depth` levels.
inline std::string deepDocument(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "{\"a\":";
    text += "1";
    text.append(static_cast<std::size_t>(depth), '}');
    text += '\n';
    return text;
}

} // namespace morvex::bench
