#pragma once

#include "morvex/JSON.h"
#include "morvex/JSONTool.h"

#include <functional>
#include <string>
#include <string_view>

namespace morvex {

/// Writes every generated type as a Swift `class` or `struct` with one `var` line per member.
class SwiftEmitter
{
public:
    explicit SwiftEmitter(JSONTool& tool) : m_tool(tool) {}

    /// The text of the root type named after `name`; nested types are appended to the tool's `model`.
    std::string parse(const JSON& json, std::string_view name);
    /// The same walk, handing the root's member lines (`typeText` frames them) to `lines` in pieces of about a
    /// megabyte, so that a root of a million members is never held whole.
    void parseBody(const JSON& json, const std::function<void(std::string_view)>& lines);

    /// One member's declaration without the `var` keyword ("age: Int"), or "" for null members.
    std::string propertyText(std::string_view key, const JSON& json) const;

    /// A type's text around its member lines (each "    var …\n"), as every Swift type is framed: `opening`,
    /// the lines, then `closing`.
    static std::string typeText(const JSONTool& tool, std::string_view name, std::string_view body);
    static std::string opening(const JSONTool& tool, std::string_view name);
    static constexpr std::string_view closing = "}\n";

private:
    JSONTool& m_tool;
};

} // namespace morvex
