#include "morvex/SampleTypes.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace morvex {

static_assert(sizeof(SampleShape) == 56, "deep text keeps one per level");

namespace {

struct Step
{
    std::string_view key;
    bool isIndex = true;
    std::uint64_t index = 0;
};

bool atRootOrOutside(const SampleTypes& types, std::uint32_t at)
{
    return at >= types.shapes.size() || types.shapes[at].parent == noIndex;
}

// Of very deep places a path shows only the first and last `keep` steps.
constexpr std::size_t keep = 500;

// Walks up from shape `at` at most `most` steps, taking an array index from `trail` at each element.
void climb(const SampleTypes& types, std::uint32_t& at, std::uint32_t& trail, std::size_t most,
           std::vector<Step>& steps)
{
    for (; most > 0 && !atRootOrOutside(types, at); --most) {
        const SampleShape& shape = types.shapes[at];
        Step step;
        if (shape.member) {
            step.key = types.key(at);
            step.isIndex = false;
        } else if (trail != noIndex) {
            step.index = types.trails[trail].index;
            trail = types.trails[trail].parent;
        }
        steps.push_back(step);
        at = shape.parent;
    }
}

const std::vector<SampleTypes::Ancestry>& ancestryOf(const SampleTypes& types)
{
    auto& ancestry = types.ancestry;
    if (ancestry.size() == types.shapes.size())
        return ancestry;
    // Parents come before their children.
    ancestry.assign(types.shapes.size(), {});
    for (std::uint32_t i = 1; i < ancestry.size(); ++i) {
        const SampleShape& shape = types.shapes[i];
        const SampleTypes::Ancestry& parent = ancestry[shape.parent];
        SampleTypes::Ancestry& own = ancestry[i];
        own.depth = parent.depth + 1;
        own.elements = parent.elements + (shape.member ? 0 : 1);
        own.top = own.depth <= keep ? i : parent.top;
    }
    return ancestry;
}

// Steps from the root to the place.
std::vector<Step> stepsTo(const SampleTypes& types, const Place& place, bool& cut)
{
    std::uint32_t at = place.shape;
    std::uint32_t trail = place.trail;
    std::vector<Step> last;
    climb(types, at, trail, keep, last);
    std::vector<Step> first;
    const std::uint32_t middle = at;
    const std::uint32_t middleTrail = trail;
    climb(types, at, trail, keep, first);
    cut = !atRootOrOutside(types, at);
    if (cut) {
        // The first steps are those of the ancestor `keep` levels below the root: the climb resumes there, the
        // trail moved past the elements on the way.
        const auto& ancestry = ancestryOf(types);
        at = ancestry[middle].top;
        trail = middleTrail;
        for (auto skipped = ancestry[middle].elements - ancestry[at].elements; skipped > 0 && trail != noIndex;
             --skipped)
            trail = types.trails[trail].parent;
        first.clear();
        climb(types, at, trail, keep, first);
    }
    std::vector<Step> steps(first.rbegin(), first.rend());
    steps.insert(steps.end(), last.rbegin(), last.rend());
    return steps;
}

bool plainName(std::string_view key)
{
    if (key.empty() || (key[0] >= '0' && key[0] <= '9'))
        return false;
    return std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80;
    });
}

// The length of the value of `kind` that starts at `offset`: its text was read as JSON.
std::uint32_t valueLength(const SampleTypes& types, ValueKind kind, std::uint32_t offset)
{
    switch (kind) {
    case ValueKind::object:
    case ValueKind::array:
        return 1;
    case ValueKind::string:
        return static_cast<std::uint32_t>(types.quotedAt(offset).size() + 2);
    case ValueKind::boolean:
        return types.text[offset] == 't' ? 4 : 5;
    case ValueKind::null:
        return 4;
    case ValueKind::integer:
    case ValueKind::fraction:
    case ValueKind::wide:
        break;
    }
    const std::size_t end = types.text.find_first_not_of("+-0123456789.eE", offset);
    return static_cast<std::uint32_t>((end == std::string_view::npos ? types.text.size() : end) - offset);
}

} // namespace

std::string_view SampleTypes::quotedAt(std::uint32_t offset) const
{
    // The closing quote is the first that an even run of backslashes (or none) leads to.
    std::size_t at = offset + 1;
    for (;;) {
        const std::size_t quote = text.find('"', at);
        if (quote == std::string_view::npos)
            return text.substr(offset + 1);
        std::size_t slashes = 0;
        while (text[quote - 1 - slashes] == '\\')
            ++slashes;
        if (slashes % 2 == 0)
            return text.substr(offset + 1, quote - offset - 1);
        at = quote + 1;
    }
}

std::string_view SampleTypes::key(std::uint32_t shape) const
{
    if (!shapes[shape].escapedKey)
        return quotedAt(shapes[shape].keyOffset);
    const auto found = std::lower_bound(escapedKeys.begin(), escapedKeys.end(), shape,
                                        [](const EscapedKey& key, std::uint32_t id) { return key.shape < id; });
    return std::string_view(keys).substr(found->at, found->size);
}

Place SampleTypes::firstPlace(std::uint32_t shape) const
{
    const SampleShape& at = shapes[shape];
    if (at.kinds == 0)
        return {};
    return {at.firstOffset, valueLength(*this, at.firstKind, at.firstOffset), shape, at.firstTrail};
}

std::string SampleTypes::path(const Place& place) const
{
    bool cut = false;
    const auto steps = stepsTo(*this, place, cut);
    std::string told = "$";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (cut && i == keep)
            told += "…";
        const Step& step = steps[i];
        if (step.isIndex) {
            told += '[' + std::to_string(step.index) + ']';
        } else if (plainName(step.key)) {
            told += '.';
            told += step.key;
        } else {
            told += "['";
            for (char c : step.key) {
                if (c == '\'' || c == '\\')
                    told += '\\';
                told += c;
            }
            told += "']";
        }
    }
    return told;
}

std::string SampleTypes::pointer(const Place& place) const
{
    bool cut = false;
    const auto steps = stepsTo(*this, place, cut);
    std::string told;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (cut && i == keep)
            told += "/…";
        told += '/';
        if (steps[i].isIndex) {
            told += std::to_string(steps[i].index);
            continue;
        }
        for (char c : steps[i].key) {
            if (c == '~')
                told += "~0";
            else if (c == '/')
                told += "~1";
            else
                told += c;
        }
    }
    return told;
}

} // namespace morvex
