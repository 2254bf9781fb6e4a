#pragma once

#include "morvex/Identifier.h"
#include "morvex/JSON.h"
#include "morvex/JSONTool.h"

#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace morvex::detail {

/// An integral number: within the 64-bit range and unchanged by dropping its fraction, as seen in single
/// precision (so 3.0 and 1.00000001 are integral, 0.5 and 2^64 are not).
inline bool isIntegral(const JSON& number)
{
    return number.fitsInt64() && static_cast<float>(number.intValue()) == number.floatValue();
}

/// True when the generator makes a type for the elements of this array: its first element is an object.
inline bool hasObjectElements(const JSON& value)
{
    return value.kind() == JSON::Kind::array && value.firstElement().kind() == JSON::Kind::dictionary;
}

struct Member
{
    std::string_view key;
    JSON value;
};

/// The (key, value) pairs of an object. A key repeated within one object appears once, at its first position,
/// with its last value, as a JSON object can hold each name once.
inline std::vector<Member> membersOf(const JSON& value)
{
    // One list, searched in order while short and through an index of first positions past that.
    constexpr std::size_t linearLimit = 16;
    std::vector<Member> members;
    members.reserve(value.size());
    std::unordered_map<std::string_view, std::size_t> position;
    value.forEach([&](std::string_view key, const JSON& member) {
        if (position.empty()) {
            for (auto& seen : members) {
                if (seen.key == key) {
                    seen.value = member;
                    return;
                }
            }
            members.push_back({key, member});
            if (members.size() > linearLimit) {
                position.reserve(value.size());
                for (std::size_t i = 0; i < members.size(); ++i)
                    position.emplace(members[i].key, i);
            }
            return;
        }
        auto [found, inserted] = position.try_emplace(key, members.size());
        if (inserted)
            members.push_back({key, member});
        else
            members[found->second].value = member;
    });
    return members;
}

/// A key as it becomes a name: kept where it is safe, else mended (the findings say so).
template <typename Use>
decltype(auto) withSafeKey(std::string_view key, Use&& use)
{
    if (isSafeName(key))
        return use(key);
    const std::string mended = safeName(key);
    return use(std::string_view(mended));
}

/// Adds one member of a type to the emitter's builder: its declaration and, where it leads to a nested type, that
/// type's name.
template <typename Emitter>
void fillMember(const JSONTool& tool, const Emitter& emitter, typename Emitter::Builder& builder,
                std::string_view rawKey, const JSON& value)
{
    withSafeKey(rawKey, [&](std::string_view key) {
        emitter.member(builder, key, value);
        if (hasObjectElements(value)) {
            const std::string name = tool.typeName(key);
            emitter.arrayElementType(builder, key, name);
            emitter.nested(builder, name);
        } else if (value.kind() == JSON::Kind::dictionary) {
            emitter.nested(builder, tool.typeName(key));
        }
    });
}

/// Calls `visit(key, value)` for each member of a type made from `value`: an array's elements in place, an
/// object's members as `membersOf` gives them.
template <typename Visit>
void forEachMember(const JSON& value, Visit&& visit)
{
    if (value.kind() == JSON::Kind::array) {
        value.forEach(visit);
        return;
    }
    for (const Member& member : membersOf(value))
        visit(member.key, member.value);
}

/// The size past which the root's text is handed on in pieces, so that a root of a million members is never
/// held whole.
inline constexpr std::size_t pieceSize = 1 << 20;

/// Walks `root` depth first. Every nested type (an object member, or the first element of an array member when
/// that is an object) is closed and appended to `tool.model` after the types nested inside it; the root itself
/// is left to the caller, who makes it with `forEachMember` and `fillMember` (a root of a million members is
/// written in pieces). The walk keeps its own stack, so nesting depth is bounded by memory, not the call stack.
///
/// The emitter provides `Builder open()`, `member(Builder&, key, value)`, `arrayElementType(Builder&, key, name)`,
/// `nested(Builder&, name)`, `Result close(Builder&, name)` and `completed(const Result&)` (called as each nested
/// type is closed), where `Result` has `code` and `classInArray`. A type's builder is filled when the type
/// closes, from its members, so deep text keeps no text open per level; an empty builder is never filled.
template <typename Emitter>
void walk(JSONTool& tool, Emitter& emitter, const JSON& root)
{
    using Builder = typename Emitter::Builder;
    // Deep text keeps a million frames open, so a frame reads its object in place: where it stands, its next
    // member and its end, as places among the stored values (the root array's elements alike). An object that
    // repeats a key lists its members as `membersOf` gives them instead, in `listed`, and `next` and `end` point
    // there.
    struct Frame
    {
        std::uint32_t value;
        std::uint32_t next;
        std::uint32_t end;
    };
    std::vector<Frame> stack;
    std::vector<std::uint32_t> listed;
    auto push = [&](const JSON& value) {
        if (!value.repeatsKey()) {
            stack.push_back({value.position(), value.position() + 1, value.end()});
            return;
        }
        const auto begin = static_cast<std::uint32_t>(listed.size());
        for (const Member& member : membersOf(value))
            listed.push_back(member.value.position());
        stack.push_back({value.position(), begin, static_cast<std::uint32_t>(listed.size())});
    };
    const bool rootArray = root.kind() == JSON::Kind::array;
    if (rootArray)
        stack.push_back({root.position(), root.position() + 1, root.end()});
    else
        push(root);
    // The root array's elements are named by their index.
    std::size_t elements = 0;
    std::string elementKey;

    for (;;) {
        Frame& frame = stack.back();
        if (frame.next < frame.end) {
            const bool inList = root.at(frame.value).repeatsKey();
            const JSON member = root.at(inList ? listed[frame.next] : frame.next);
            frame.next = inList ? frame.next + 1 : member.end();
            if (rootArray && stack.size() == 1)
                elementKey = std::to_string(elements++);
            if (hasObjectElements(member))
                push(member.firstElement());
            else if (member.kind() == JSON::Kind::dictionary)
                push(member);
            continue;
        }

        if (stack.size() == 1)
            return;
        Builder builder = emitter.open();
        // The member of the enclosing object (or of the root array) this type was found under names it: the
        // object itself, or the array it is the first element of, which stands just before it.
        const JSON value = root.at(frame.value);
        const JSON before = root.at(frame.value - 1);
        const bool firstElement = before.kind() == JSON::Kind::array && before.end() > frame.value;
        const std::string_view underKey = stack.size() == 2 && rootArray ? std::string_view(elementKey)
                                          : firstElement                 ? before.memberKey()
                                                                         : value.memberKey();
        std::string name = withSafeKey(underKey, [&](std::string_view key) { return tool.typeName(key); });
        if constexpr (!std::is_empty_v<Builder>) {
            if (value.repeatsKey()) {
                for (const Member& member : membersOf(value))
                    fillMember(tool, emitter, builder, member.key, member.value);
            } else {
                for (std::uint32_t at = frame.value + 1; at < frame.end; at = root.at(at).end())
                    fillMember(tool, emitter, builder, root.at(at).memberKey(), root.at(at));
            }
        }
        auto result = emitter.close(builder, name);
        emitter.completed(result);
        if (value.repeatsKey())
            listed.resize(listed.size() - membersOf(value).size());
        stack.pop_back();
        CodeModel model{std::move(name), std::move(result.code), std::move(result.classInArray), {}, value.shape()};
        if (tool.onType)
            tool.onType(std::move(model));
        else
            tool.model.push_back(std::move(model));
    }
}

} // namespace morvex::detail
