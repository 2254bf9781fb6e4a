#include "Rules.h"

#include "morvex/Conversion.h"
#include "morvex/FileName.h"
#include "morvex/Identifier.h"
#include "morvex/ObjectiveCEmitter.h"
#include "morvex/SwiftEmitter.h"

#include <cstdio>
#include <deque>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <unordered_map>
#include <unordered_set>

namespace morvex::detail {

namespace {

constexpr std::uint16_t numbers = kindBit(ValueKind::integer) | kindBit(ValueKind::fraction) | kindBit(ValueKind::wide);

// Names not yet taken, numbered 2, 3 … where one is. Numbering goes on from the last number a name was given,
// every number below it being taken: a name wanted again and again costs no search from 2 each time. Where
// `firstLetterFolded`, names that differ only in the case of a first ASCII letter count as one: Objective-C makes
// one setter of `name` and `Name` (`setName:`).
class NameSet
{
public:
    explicit NameSet(bool firstLetterFolded = false) : m_folded(firstLetterFolded) {}

    bool contains(const std::string& name) const { return m_taken.contains(fold(name)); }

    // `name`, or the first of its numbered forms not taken; taken from now on.
    std::string take(std::string name)
    {
        const std::string folded = fold(name);
        if (m_taken.contains(folded)) {
            std::size_t& last = m_lastNumber[folded];
            std::string suffix;
            do {
                last = std::max<std::size_t>(last, 1) + 1;
                suffix = std::to_string(last);
            } while (m_taken.contains(folded + suffix));
            name += suffix;
        }
        m_taken.insert(fold(name));
        return name;
    }

private:
    std::string fold(std::string name) const { return m_folded ? setterForm(std::move(name)) : name; }

    bool m_folded;
    std::unordered_set<std::string> m_taken;
    std::unordered_map<std::string, std::size_t> m_lastNumber;
};

// A key as the text of a string literal. Control, format and separator characters are escaped so that none
// can end the line or reorder what is shown. Objective-C rejects a universal character name for a control
// character, so those go as octal bytes there (three digits, so a digit after them stays itself).
std::string literal(std::string_view key, Language language)
{
    const bool swift = language == Language::swift;
    std::string out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(key.data());
    const auto length = static_cast<std::int32_t>(key.size());
    for (std::int32_t at = 0; at < length;) {
        const std::int32_t start = at;
        UChar32 c = 0;
        U8_NEXT(bytes, at, length, c);
        char escaped[16];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            continue;
        }
        const bool control = c < 0 || (U_GET_GC_MASK(c) & U_GC_CC_MASK) != 0;
        if (control && !swift) {
            for (std::int32_t i = start; i < at; ++i) {
                std::snprintf(escaped, sizeof escaped, "\\%03o", static_cast<unsigned>(bytes[i]));
                out += escaped;
            }
            continue;
        }
        if (c < 0)
            c = 0xFFFD;
        if (control || (U_GET_GC_MASK(c) & (U_GC_CF_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK)) != 0) {
            std::snprintf(escaped, sizeof escaped,
                          swift        ? "\\u{%X}"
                          : c > 0xFFFF ? "\\U%08X"
                                       : "\\u%04X",
                          static_cast<unsigned>(c));
            out += escaped;
            continue;
        }
        out.append(key.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(at - start)));
    }
    return out;
}

class Faithful
{
public:
    Faithful(const SampleTypes& types, JSONTool& tool, const ConversionChoices& choices)
        : m_types(types), m_tool(tool), m_choices(choices),
          m_language(choices.isSwift ? Language::swift : Language::objectiveC),
          m_jsonValue(tool.classPrefix + "JSONValue")
    {
        for (const RepeatedKey& repeat : types.repeatedKeys) {
            if (repeat.earlierKinds != 0)
                m_earlierKinds.emplace(repeat.field, repeat.earlierKinds);
        }
    }

    std::vector<CodeModel> run(const std::string& rootName)
    {
        const SampleShape& root = m_types.shapes[0];
        std::uint32_t rootShape = noIndex;
        if (root.kinds == kindBit(ValueKind::object))
            rootShape = 0;
        else if (root.kinds == kindBit(ValueKind::array) && root.element != noIndex &&
                 m_types.shapes[root.element].kinds == kindBit(ValueKind::object))
            rootShape = root.element;
        if (rootShape == noIndex)
            return {};
        m_taken.take(m_jsonValue);
        name(rootShape, m_tool.typeName(rootName), "");
        std::vector<CodeModel> models;
        // Rendering names the types it meets, which grows m_order: no iterator may be held across it.
        for (std::size_t i = 0; i < m_order.size(); ++i) // NOLINT(modernize-loop-convert)
            models.push_back(render(m_order[i]));
        if (m_usesJSONValue && m_choices.isSwift)
            models.push_back({m_jsonValue, jsonValueText(), {}, {}, noIndex});
        return models;
    }

private:
    const SampleShape& shape(std::uint32_t id) const { return m_types.shapes[id]; }

    // The kinds a repeated key held before its last value, in the first object of its shape.
    std::uint16_t earlierKinds(std::uint32_t member) const
    {
        const auto found = m_earlierKinds.find(member);
        return found == m_earlierKinds.end() ? 0 : found->second;
    }

    // Decoders differ on which value of a repeated key they read: unless all were of one plain kind, the member
    // holds any JSON value.
    bool holdsAnyValue(std::uint32_t member) const
    {
        const auto notNull = static_cast<std::uint16_t>(~kindBit(ValueKind::null));
        const std::uint16_t earlier = earlierKinds(member) & notNull;
        const std::uint16_t last = shape(member).kinds & notNull;
        const auto nested = kindBit(ValueKind::object) | kindBit(ValueKind::array);
        return earlier != 0 && ((earlier | last) != last || (last & nested) != 0);
    }

    std::uint32_t nestedObjects(std::uint32_t member) const
    {
        return holdsAnyValue(member) ? noIndex : objectsIn(member);
    }

    // Gives the object shape `id` a type name not taken yet: its own, then prefixed by its parent's own name, then
    // numbered on from the last number that name was given. Prefixing by the parent's own name rather than the one
    // it was given keeps names short where like keys nest: {"a":{"a":{"a":…}}} names MXA, MXAA, MXAA2 …, not a
    // name a level longer at each level.
    void name(std::uint32_t id, const std::string& wanted, std::string_view parentBase)
    {
        const std::size_t prefix = std::min(wanted.size(), m_tool.classPrefix.size());
        const std::string_view base = std::string_view(wanted).substr(prefix);
        TypeName chosen{wanted, prefix};
        if (m_taken.contains(chosen.name) && !parentBase.empty()) {
            chosen.name = m_tool.classPrefix;
            chosen.name.append(parentBase).append(base);
            chosen.baseAt = prefix + parentBase.size();
        }
        chosen.baseSize = base.size();
        chosen.name = m_taken.take(std::move(chosen.name));
        m_names.emplace(id, std::move(chosen));
        m_order.push_back(id);
    }

    std::string typeNameFor(std::string_view key) const
    {
        return m_tool.typeName(isIdentifier(key, m_language) ? std::string(key) : lowerCamel(safeName(key)));
    }

    // The object shape an array shape's elements come down to, through nested arrays.
    std::uint32_t objectsIn(std::uint32_t id) const
    {
        while (id != noIndex) {
            const SampleShape& here = shape(id);
            const std::uint16_t kinds = here.kinds & static_cast<std::uint16_t>(~kindBit(ValueKind::null));
            if (kinds == kindBit(ValueKind::object))
                return id;
            if (kinds != kindBit(ValueKind::array))
                return noIndex;
            id = here.element;
        }
        return noIndex;
    }

    // Swift spelling of the values of `id`; `element` marks array elements, where null mixes kinds.
    std::string swiftType(std::uint32_t id, bool element)
    {
        if (id == noIndex)
            return useJSONValue();
        const SampleShape& here = shape(id);
        const std::uint16_t kinds =
            element ? here.kinds : here.kinds & static_cast<std::uint16_t>(~kindBit(ValueKind::null));
        if (kinds == kindBit(ValueKind::boolean))
            return "Bool";
        if (kinds == kindBit(ValueKind::integer))
            return "Int";
        if (kinds == kindBit(ValueKind::fraction))
            return "Float";
        if (kinds == kindBit(ValueKind::string))
            return "String";
        if (kinds == kindBit(ValueKind::object))
            return m_names.at(id).name;
        if (kinds == kindBit(ValueKind::array)) {
            // Appended, not prefixed: gcc 12 warns falsely (-Wrestrict) on `"[" + std::string`.
            std::string array = "[";
            array += swiftType(here.element, true);
            array += ']';
            return array;
        }
        if (kinds != 0 && (kinds & ~numbers) == 0)
            return "Double";
        return useJSONValue();
    }

    std::string objcType(std::uint32_t id, bool optional)
    {
        const SampleShape& here = shape(id);
        const std::uint16_t kinds = here.kinds & static_cast<std::uint16_t>(~kindBit(ValueKind::null));
        const bool number = kinds != 0 && (kinds & ~numbers) == 0;
        if ((kinds == kindBit(ValueKind::boolean) || number) && optional)
            return "strong, nullable) NSNumber *";
        const std::string nullable = optional ? ", nullable) " : ") ";
        if (kinds == kindBit(ValueKind::boolean))
            return "assign) BOOL ";
        if (kinds == kindBit(ValueKind::integer))
            return "assign) NSInteger ";
        if (number)
            return "assign) CGFloat ";
        if (kinds == kindBit(ValueKind::string))
            return "copy" + nullable + "NSString *";
        if (kinds == kindBit(ValueKind::object))
            return "strong" + nullable + m_names.at(id).name + " *";
        if (kinds == kindBit(ValueKind::array)) {
            const std::uint32_t element = here.element;
            std::string inner = "NSArray *";
            if (element != noIndex && shape(element).kinds == kindBit(ValueKind::string))
                inner = "NSArray<NSString *> *";
            else if (element != noIndex && (shape(element).kinds == kindBit(ValueKind::boolean) ||
                                            (shape(element).kinds != 0 && (shape(element).kinds & ~numbers) == 0)))
                inner = "NSArray<NSNumber *> *";
            else if (element != noIndex && shape(element).kinds == kindBit(ValueKind::object))
                inner = "NSArray<" + m_names.at(element).name + " *> *";
            else if (element != noIndex && shape(element).kinds == kindBit(ValueKind::array))
                inner = "NSArray<NSArray *> *";
            return "copy" + nullable + inner;
        }
        return anyObject;
    }

    static constexpr const char* anyObject = "strong, nullable) id ";

    std::string useJSONValue()
    {
        m_usesJSONValue = true;
        return m_jsonValue;
    }

    // The member name for `key`, as the table of the faithful rules says; `bare` is it without backticks.
    std::string memberName(std::string_view key, std::string& bare) const
    {
        std::string name = isIdentifier(key, m_language) ? std::string(key) : lowerCamel(safeName(key));
        switch (reservedWord(name, m_language, m_choices.base, m_jsonValue)) {
        case Reserved::no:
            break;
        case Reserved::keyword:
            if (m_language == Language::swift) {
                bare = name;
                return "`" + name + "`";
            }
            name = name == "id" ? "ID" : name + "_";
            break;
        case Reserved::reliedOn:
            name += "_";
            break;
        case Reserved::arcFamily:
            name = "the" + upperFirstCharacter(name);
            break;
        }
        bare = name;
        return name;
    }

    CodeModel render(std::uint32_t id)
    {
        const SampleShape& here = shape(id);
        const std::string typeName = m_names.at(id).name;
        const std::string parentBase(m_names.at(id).base());
        // Nested types are named first, in member order, so that a name taken earlier stays with the earlier.
        for (const std::uint32_t field : m_types.fieldsOf(here)) {
            const std::uint32_t nested = nestedObjects(field);
            if (nested != noIndex && !m_names.contains(nested))
                name(nested, typeNameFor(m_types.key(field)), parentBase);
        }
        CodeModel model;
        model.className = typeName;
        model.shape = id;
        NameSet used(!m_choices.isSwift);
        std::string body;
        std::string codingKeys;
        std::string imports;
        bool renamed = false;
        for (const std::uint32_t field : m_types.fieldsOf(here)) {
            const std::string_view key = m_types.key(field);
            std::string bare;
            std::string member = memberName(key, bare);
            const std::string numbered = used.take(bare);
            if (numbered != bare)
                member = numbered;
            const bool optional = shape(field).present < here.objects || shape(field).has(ValueKind::null) ||
                                  (earlierKinds(field) & kindBit(ValueKind::null)) != 0;
            const bool anyValue = holdsAnyValue(field);
            const bool same = numbered == key;
            renamed = renamed || !same;
            if (m_choices.isSwift) {
                const std::string type = anyValue ? useJSONValue() : swiftType(field, false);
                body.append("    var ").append(member).append(": ").append(type).append(optional ? "?\n" : "\n");
                codingKeys += "        case " + member + (same ? "" : " = \"" + literal(key, m_language) + "\"") + "\n";
                continue;
            }
            body += "@property (nonatomic, " + (anyValue ? anyObject : objcType(field, optional)) + member + ";";
            if (!same && m_choices.adjustType.isNone())
                body += " // JSON key: \"" + literal(key, m_language) + "\""; // a line comment: "*/" ends nothing
            body += "\n";
            if (!same)
                model.replacedKeys.emplace_back(member, literal(key, m_language));
            const std::uint32_t nested = nestedObjects(field);
            if (nested != noIndex) {
                imports += "#import \"" + fileNameFor(m_names.at(nested).name, ".h") + "\"\n";
                if (shape(field).has(ValueKind::array) &&
                    shape(shape(field).element).kinds == kindBit(ValueKind::object))
                    model.classInArray.emplace_back(numbered, m_names.at(nested).name);
            }
        }
        if (m_choices.isSwift) {
            if (renamed)
                body += "\n    enum CodingKeys: String, CodingKey {\n" + codingKeys + "    }\n";
            model.code = SwiftEmitter::typeText(m_tool, typeName, body);
        } else {
            model.code = ObjectiveCEmitter::interfaceText(m_tool, typeName, imports, body);
        }
        return model;
    }

    std::string jsonValueText() const
    {
        const std::string& n = m_jsonValue;
        return "enum " + n +
               ": Codable, Equatable {\n\n"
               "    case null\n    case bool(Bool)\n    case number(Double)\n    case string(String)\n"
               "    case array([" +
               n + "])\n    case object([String: " + n +
               "])\n\n"
               "    init(from decoder: Decoder) throws {\n"
               "        let container = try decoder.singleValueContainer()\n"
               "        if container.decodeNil() {\n            self = .null\n"
               "        } else if let value = try? container.decode(Bool.self) {\n            self = .bool(value)\n"
               "        } else if let value = try? container.decode(Double.self) {\n            self = .number(value)\n"
               "        } else if let value = try? container.decode(String.self) {\n            self = .string(value)\n"
               "        } else if let value = try? container.decode([" +
               n +
               "].self) {\n"
               "            self = .array(value)\n"
               "        } else {\n            self = .object(try container.decode([String: " +
               n +
               "].self))\n"
               "        }\n    }\n\n"
               "    func encode(to encoder: Encoder) throws {\n"
               "        var container = encoder.singleValueContainer()\n"
               "        switch self {\n"
               "        case .null: try container.encodeNil()\n"
               "        case .bool(let value): try container.encode(value)\n"
               "        case .number(let value): try container.encode(value)\n"
               "        case .string(let value): try container.encode(value)\n"
               "        case .array(let value): try container.encode(value)\n"
               "        case .object(let value): try container.encode(value)\n"
               "        }\n    }\n}\n";
    }

    const SampleTypes& m_types;
    JSONTool& m_tool;
    const ConversionChoices& m_choices;
    Language m_language;
    std::string m_jsonValue;
    bool m_usesJSONValue = false;
    std::unordered_map<std::uint32_t, std::uint16_t> m_earlierKinds;
    // A type's name, and where the part its own key gave stands in it.
    struct TypeName
    {
        std::string name;
        std::size_t baseAt = 0;
        std::size_t baseSize = 0;

        std::string_view base() const { return std::string_view(name).substr(baseAt, baseSize); }
    };
    std::unordered_map<std::uint32_t, TypeName> m_names;
    NameSet m_taken;
    std::vector<std::uint32_t> m_order;
};

} // namespace

std::vector<CodeModel> faithfulModels(const SampleTypes& types, JSONTool& tool, const ConversionChoices& choices,
                                      const std::string& rootName)
{
    if (types.shapes.empty())
        return {};
    return Faithful(types, tool, choices).run(rootName);
}

} // namespace morvex::detail
