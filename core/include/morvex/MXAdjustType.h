#pragma once

#include <string>
#include <vector>

namespace morvex {

/// The Objective-C JSON-mapping style: none, or MJExtension's array mapping with its import line and the
/// declaration of its mapping method.
class MXAdjustType
{
public:
    enum class Case
    {
        none,
        mjExtension
    };

    static MXAdjustType none() { return MXAdjustType(Case::none, {}, {}); }
    static MXAdjustType mjExtension(std::string importLine = "#import <MJExtension/MJExtension.h>",
                                    std::string code = "+ (NSDictionary *)mj_objectClassInArray")
    {
        return MXAdjustType(Case::mjExtension, std::move(importLine), std::move(code));
    }

    /// The selectable styles in the order the settings dialog offers them (their option tags 0 and 1).
    static std::vector<MXAdjustType> all() { return {none(), mjExtension()}; }

    Case kind() const { return m_case; }
    bool isNone() const { return m_case == Case::none; }
    const std::string& importLine() const { return m_importLine; }
    const std::string& code() const { return m_code; }

    bool operator==(const MXAdjustType&) const = default;

private:
    MXAdjustType(Case kind, std::string importLine, std::string code)
        : m_case(kind), m_importLine(std::move(importLine)), m_code(std::move(code))
    {}

    Case m_case;
    std::string m_importLine;
    std::string m_code;
};

} // namespace morvex
