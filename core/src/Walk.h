#pragma once

#include "morvex/Identifier.h"
#include "morvex/JSON.h"
#include "morvex/JSONTool.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
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
    std::vector<Member> members;
    members.reserve(value.size());
    value.forEach([&](std::string_view key, const JSON& member) { members.push_back({key, member}); });
    if (members.size() < 2)
        return members;

    constexpr std::size_t linearLimit = 16;
    std::vector<Member> unique;
    unique.reserve(members.size());
    if (members.size() <= linearLimit) {
        for (const auto& member : members) {
            bool repeated = false;
            for (auto& seen : unique) {
                if (seen.key == member.key) {
                    seen.value = member.value;
                    repeated = true;
                    break;
                }
            }
            if (!repeated)
                unique.push_back(member);
        }
    } else {
        std::unordered_map<std::string_view, std::size_t> position;
        position.reserve(members.size());
        for (const auto& member : members) {
            auto [found, inserted] = position.try_emplace(member.key, unique.size());
            if (inserted)
                unique.push_back(member);
            else
                unique[found->second].value = member.value;
        }
    }
    return unique;
}

/// Walks `root` depth first and returns the emitter's builder for it, unclosed: the caller frames the root, which
/// may hold a million members, without one more copy of its text. Every nested type (an object member, or the
/// first element of an array member when that is an object) is closed and appended to `tool.model` after the
/// types nested inside it. The walk keeps its own stack, so nesting depth is bounded by memory, not the call stack.
///
/// The emitter provides `Builder open()`, `member(Builder&, key, value)`, `arrayElementType(Builder&, key, name)`,
/// `nested(Builder&, name, const Result&)` and `Result close(Builder&, name)`, where `Result` has `code` and
/// `classInArray`. Deep text keeps a frame per level open, so a frame holds the type's name once.
template <typename Emitter>
auto walk(JSONTool& tool, Emitter& emitter, const JSON& root, std::string_view rootName)
{
    using Builder = typename Emitter::Builder;
    // Deep text keeps a million frames open: each is small, and the members of all open objects share one list.
    struct Frame
    {
        // An array (only the root can be one) is read in place: a million elements need no list of their own.
        std::unique_ptr<JSONIterator> elements;
        std::string name;
        // This object's members in `members`: [begin, end), the next one to read at `next`.
        std::uint32_t begin = 0;
        std::uint32_t next = 0;
        std::uint32_t end = 0;
        std::uint32_t shape;
        Builder builder;
    };

    std::deque<Frame> stack;
    std::vector<Member> members;
    auto push = [&](const JSON& value, std::string&& name) {
        Frame frame;
        frame.begin = frame.next = static_cast<std::uint32_t>(members.size());
        if (value.kind() == JSON::Kind::array) {
            frame.elements = std::make_unique<JSONIterator>(value);
        } else {
            const std::vector<Member> own = membersOf(value);
            members.insert(members.end(), own.begin(), own.end());
        }
        frame.end = static_cast<std::uint32_t>(members.size());
        frame.builder = emitter.open();
        frame.name = std::move(name);
        frame.shape = value.shape();
        stack.push_back(std::move(frame));
    };
    push(root, tool.typeName(rootName));

    for (;;) {
        Frame& frame = stack.back();
        Member member;
        const bool more = frame.elements ? frame.elements->next(member.key, member.value) : frame.next < frame.end;
        if (more) {
            if (!frame.elements)
                member = members[frame.next++];
            // A key that cannot be a name as it stands is mended here; the findings say so.
            std::string safeKey;
            std::string_view key = member.key;
            if (!isSafeName(key)) {
                safeKey = safeName(key);
                key = safeKey;
            }
            emitter.member(frame.builder, key, member.value);
            if (hasObjectElements(member.value)) {
                std::string name = tool.typeName(key);
                emitter.arrayElementType(frame.builder, key, name);
                push(member.value.firstElement(), std::move(name));
            } else if (member.value.kind() == JSON::Kind::dictionary) {
                push(member.value, tool.typeName(key));
            }
            continue;
        }
        if (stack.size() == 1)
            return std::move(frame.builder);
        auto result = emitter.close(frame.builder, frame.name);
        std::string name = std::move(frame.name);
        const std::uint32_t shape = frame.shape;
        members.resize(frame.begin);
        stack.pop_back();
        emitter.nested(stack.back().builder, name, result);
        CodeModel model{std::move(name), std::move(result.code), std::move(result.classInArray), {}, shape};
        if (tool.onType)
            tool.onType(std::move(model));
        else
            tool.model.push_back(std::move(model));
    }
}

} // namespace morvex::detail
