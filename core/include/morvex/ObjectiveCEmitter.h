#pragma once

#include "morvex/CodeModel.h"
#include "morvex/JSON.h"
#include "morvex/JSONTool.h"
#include "morvex/MXAdjustType.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// Writes every generated type as an Objective-C interface, collecting for each the import lines of the types
/// it refers to and its class-in-array map for the mapping framework.
class ObjectiveCEmitter
{
public:
    struct Result
    {
        std::string code;
        ClassInArray classInArray;
    };

    explicit ObjectiveCEmitter(JSONTool& tool) : m_tool(tool) {}

    /// The interface text and map of the root type named after `name`; nested types go to the tool's `model`.
    Result parse(const JSON& json, std::string_view name);

    /// A type as the walk collects it: its import lines, its property lines and its map.
    struct Parts
    {
        std::string imports;
        std::string properties;
        ClassInArray classInArray;
    };
    /// The same walk, handing the root unframed (`interfaceText` frames it) in pieces of about a megabyte: all
    /// its import lines to `imports`, then its property lines to `properties`. Returns the root's map. A root of
    /// a million members is never held whole.
    ClassInArray parseParts(const JSON& json, const std::function<void(std::string_view)>& imports,
                            const std::function<void(std::string_view)>& properties);

    /// One property's declaration after "@property (nonatomic, ", or "" for null members.
    std::string propertyText(std::string_view key, const JSON& json) const;

    /// `@"member": @"Type"` per entry, in map order.
    static std::vector<std::string> mappingEntries(const ClassInArray& classInArray);
    /// The mapping framework's import line and a line feed; "" when there is nothing to map.
    static std::string importText(const MXAdjustType& adjustType, const ClassInArray& classInArray);
    /// The mapping method, then an empty line; "" when there is nothing to map.
    static std::string mappingText(const MXAdjustType& adjustType, const ClassInArray& classInArray);

    /// An interface's text from its import lines and property lines, as every type is framed: the imports,
    /// `interfaceOpening`, the properties, then `interfaceClosing`.
    static std::string interfaceText(const JSONTool& tool, std::string_view name, std::string_view imports,
                                     std::string_view properties);
    static std::string interfaceOpening(const JSONTool& tool, std::string_view name);
    static constexpr std::string_view interfaceClosing = "\n@end\n\nNS_ASSUME_NONNULL_END\n";

private:
    JSONTool& m_tool;
};

} // namespace morvex
