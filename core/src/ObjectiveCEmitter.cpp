#include "morvex/ObjectiveCEmitter.h"

#include "Walk.h"

#include "morvex/FileName.h"
#include "morvex/Identifier.h"

namespace morvex {

namespace {

struct ObjectiveCTexts
{
    using Builder = ObjectiveCEmitter::Parts;
    using Result = ObjectiveCEmitter::Result;

    const JSONTool& tool;
    const ObjectiveCEmitter& emitter;

    Builder open() const { return {}; }

    void member(Builder& builder, std::string_view key, const JSON& value) const
    {
        const std::string property = emitter.propertyText(key, value);
        if (!property.empty())
            builder.properties.append("@property (nonatomic, ").append(property).append("\n");
    }

    void arrayElementType(Builder& builder, std::string_view key, const std::string& name) const
    {
        builder.classInArray.emplace_back(std::string(key), name);
    }

    void completed(const Result&) const {}

    void nested(Builder& builder, const std::string& name) const
    {
        // Imported under the file name the header is written with (over-long or unsafe names are shortened).
        builder.imports.append("#import \"").append(fileNameFor(name, ".h")).append("\"\n");
    }

    Result close(Builder& builder, const std::string& name) const
    {
        Result result;
        result.code = ObjectiveCEmitter::interfaceText(tool, name, builder.imports, builder.properties);
        result.classInArray = std::move(builder.classInArray);
        return result;
    }
};

} // namespace

ObjectiveCEmitter::Result ObjectiveCEmitter::parse(const JSON& json, std::string_view name)
{
    Parts parts;
    parts.classInArray = parseParts(
        json, [&](std::string_view lines) { parts.imports.append(lines); },
        [&](std::string_view lines) { parts.properties.append(lines); });
    return {interfaceText(m_tool, m_tool.typeName(name), parts.imports, parts.properties),
            std::move(parts.classInArray)};
}

ClassInArray ObjectiveCEmitter::parseParts(const JSON& json, const std::function<void(std::string_view)>& imports,
                                           const std::function<void(std::string_view)>& properties)
{
    ObjectiveCTexts texts{m_tool, *this};
    detail::walk(m_tool, texts, json);
    // The imports stand before the properties, and each member makes both: the root's members are read twice,
    // each time keeping one of them.
    ClassInArray classInArray;
    for (const bool importing : {true, false}) {
        const auto& hand = importing ? imports : properties;
        Parts root;
        std::string& kept = importing ? root.imports : root.properties;
        std::string& dropped = importing ? root.properties : root.imports;
        detail::forEachMember(json, [&](std::string_view key, const JSON& value) {
            detail::fillMember(m_tool, texts, root, key, value);
            dropped.clear();
            if (!importing)
                root.classInArray.clear();
            if (kept.size() >= detail::pieceSize) {
                hand(kept);
                kept.clear();
            }
        });
        hand(kept);
        if (importing)
            classInArray = std::move(root.classInArray);
    }
    return classInArray;
}

std::string ObjectiveCEmitter::propertyText(std::string_view key, const JSON& json) const
{
    const std::string name = safeName(key);
    switch (json.kind()) {
    case JSON::Kind::number:
        return (detail::isIntegral(json) ? "assign) NSInteger " : "assign) CGFloat ") + name + ";";
    case JSON::Kind::string:
        return "copy) NSString *" + name + ";";
    case JSON::Kind::boolean:
        return "assign) BOOL " + name + ";";
    case JSON::Kind::dictionary:
        return "strong) " + m_tool.typeName(key) + " *" + name + ";";
    case JSON::Kind::array: {
        // Scalar elements are held as Foundation objects; a type named after the key would never be generated.
        std::string element;
        switch (json.size() == 0 ? JSON::Kind::null : json.firstElement().kind()) {
        case JSON::Kind::string:
            element = "NSString";
            break;
        case JSON::Kind::number:
        case JSON::Kind::boolean:
            element = "NSNumber";
            break;
        default:
            element = m_tool.typeName(key);
        }
        return "copy) NSArray<" + element + " *> *" + name + ";";
    }
    case JSON::Kind::null:
    case JSON::Kind::unknown:
        return {};
    }
    return {};
}

std::string ObjectiveCEmitter::interfaceText(const JSONTool& tool, std::string_view name, std::string_view imports,
                                             std::string_view properties)
{
    const std::string opening = interfaceOpening(tool, name);
    std::string code;
    code.reserve(imports.size() + opening.size() + properties.size() + interfaceClosing.size());
    code.append(imports).append(opening).append(properties).append(interfaceClosing);
    return code;
}

std::string ObjectiveCEmitter::interfaceOpening(const JSONTool& tool, std::string_view name)
{
    std::string text = "\nNS_ASSUME_NONNULL_BEGIN\n\n@interface ";
    text.append(name).append(" : ").append(tool.base).append("\n\n");
    return text;
}

std::vector<std::string> ObjectiveCEmitter::mappingEntries(const ClassInArray& classInArray)
{
    std::vector<std::string> entries;
    entries.reserve(classInArray.size());
    for (const auto& [member, type] : classInArray)
        entries.push_back("@\"" + safeName(member) + "\": @\"" + safeName(type) + "\"");
    return entries;
}

std::string ObjectiveCEmitter::importText(const MXAdjustType& adjustType, const ClassInArray& classInArray)
{
    if (adjustType.isNone() || classInArray.empty())
        return {};
    return adjustType.importLine() + "\n";
}

std::string ObjectiveCEmitter::mappingText(const MXAdjustType& adjustType, const ClassInArray& classInArray)
{
    if (adjustType.isNone() || classInArray.empty())
        return {};
    std::string text = adjustType.code() + " {\n    return @{";
    bool first = true;
    for (const auto& entry : mappingEntries(classInArray)) {
        if (!first)
            text += ",";
        first = false;
        text += entry;
    }
    text += "};\n}\n\n";
    return text;
}

} // namespace morvex
