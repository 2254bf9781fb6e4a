#pragma once

#include <string_view>

namespace morvex {

/// Exit codes of morvex-cli.
enum CliExit : int
{
    exitOk = 0,
    exitBadInput = 1, // also: not enough memory
    exitUsage = 2,
    exitWriteFailed = 3, // some output or the remembered values
    exitCheckDiffers = 4,
    exitStrictFindings = 5,
};

/// The code when both `a` and `b` apply: the first of usage, bad input, write failure, check, strict.
constexpr CliExit moreSevere(CliExit a, CliExit b)
{
    constexpr auto rank = [](CliExit code) {
        switch (code) {
        case exitUsage:
            return 0;
        case exitBadInput:
            return 1;
        case exitWriteFailed:
            return 2;
        case exitCheckDiffers:
            return 3;
        case exitStrictFindings:
            return 4;
        case exitOk:
            break;
        }
        return 5;
    };
    return rank(b) < rank(a) ? b : a;
}

/// The table of codes, as the help text and the README give it.
inline constexpr std::string_view exitCodeTable =
    "Exit codes (when several apply, the first in the order 2, 1, 3, 4, 5):\n"
    "  0  success\n"
    "  1  bad input, or not enough memory\n"
    "  2  usage\n"
    "  3  some output or the remembered values could not be written\n"
    "  4  --check found a difference\n"
    "  5  --strict found findings\n";

} // namespace morvex
