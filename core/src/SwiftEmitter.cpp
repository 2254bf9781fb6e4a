#include "morvex/SwiftEmitter.h"

#include "Walk.h"

#include "morvex/BKLog.h"
#include "morvex/Identifier.h"

namespace morvex {

namespace {

struct SwiftTexts
{
    struct Builder
    {
        std::string text;
    };
    struct Result
    {
        std::string code;
        ClassInArray classInArray;
    };

    const JSONTool& tool;
    const SwiftEmitter& emitter;

    Builder open() const { return {}; }

    void member(Builder& builder, std::string_view key, const JSON& value) const
    {
        const std::string property = emitter.propertyText(key, value);
        if (!property.empty())
            builder.text.append("    var ").append(property).append("\n");
    }

    void arrayElementType(Builder&, std::string_view, const std::string&) const {}

    void nested(Builder&, const std::string&) const {}

    void completed(const Result& result) const
    {
        if (bkLogEnabled())
            BKLog(result.code, "parse(json:name:)");
    }

    Result close(Builder& builder, const std::string& name) const
    {
        return {SwiftEmitter::typeText(tool, name, builder.text), {}};
    }
};

} // namespace

std::string SwiftEmitter::parse(const JSON& json, std::string_view name)
{
    std::string body;
    parseBody(json, [&](std::string_view lines) { body.append(lines); });
    return typeText(m_tool, m_tool.typeName(name), body);
}

void SwiftEmitter::parseBody(const JSON& json, const std::function<void(std::string_view)>& lines)
{
    SwiftTexts texts{m_tool, *this};
    detail::walk(m_tool, texts, json);
    SwiftTexts::Builder root;
    detail::forEachMember(json, [&](std::string_view key, const JSON& value) {
        detail::fillMember(m_tool, texts, root, key, value);
        if (root.text.size() >= detail::pieceSize) {
            lines(root.text);
            root.text.clear();
        }
    });
    lines(root.text);
}

std::string SwiftEmitter::opening(const JSONTool& tool, std::string_view name)
{
    std::string text;
    text.append(tool.typePrefix).append(" ").append(name).append(": ").append(tool.base).append(" {\n\n");
    return text;
}

std::string SwiftEmitter::typeText(const JSONTool& tool, std::string_view name, std::string_view body)
{
    std::string text = opening(tool, name);
    text.reserve(text.size() + body.size() + closing.size());
    text.append(body).append(closing);
    return text;
}

std::string SwiftEmitter::propertyText(std::string_view key, const JSON& json) const
{
    std::string text = safeName(key);
    switch (json.kind()) {
    case JSON::Kind::number:
        return text + (detail::isIntegral(json) ? ": Int" : ": Float");
    case JSON::Kind::string:
        return text + ": String";
    case JSON::Kind::boolean:
        return text + ": Bool";
    case JSON::Kind::dictionary:
        return text + ": " + m_tool.typeName(key);
    case JSON::Kind::array: {
        // Scalar elements name their own Swift type: a type named after the key would never be generated.
        const JSON first = json.firstElement();
        switch (json.size() == 0 ? JSON::Kind::null : first.kind()) {
        case JSON::Kind::string:
            return text + ": [String]";
        case JSON::Kind::number:
            return text + (detail::isIntegral(first) ? ": [Int]" : ": [Float]");
        case JSON::Kind::boolean:
            return text + ": [Bool]";
        default:
            return text + ": [" + m_tool.typeName(key) + "]";
        }
    }
    case JSON::Kind::null:
    case JSON::Kind::unknown:
        return {};
    }
    return {};
}

} // namespace morvex
