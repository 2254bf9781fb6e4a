#include "morvex/SampleTypes.h"

#include <algorithm>
#include <string_view>

namespace morvex {

namespace {

struct Step
{
    std::string_view key;
    bool isIndex = true;
    std::uint64_t index = 0;
};

// Steps from the root to the place; of very deep places only the first and last `keep` survive.
constexpr std::size_t keep = 500;

std::vector<Step> stepsTo(const SampleTypes& types, const Place& place, bool& cut)
{
    std::vector<Step> steps;
    cut = false;
    std::uint32_t trail = place.trail;
    for (std::uint32_t at = place.shape; at != noIndex && at < types.shapes.size();) {
        const SampleShape& shape = types.shapes[at];
        if (shape.parent == noIndex)
            break;
        Step step;
        if (shape.field != noIndex) {
            step.key = types.key(types.fields[shape.field]);
            step.isIndex = false;
        } else if (trail != noIndex) {
            step.index = types.trails[trail].index;
            trail = types.trails[trail].parent;
        }
        steps.push_back(step);
        at = shape.parent;
    }
    std::reverse(steps.begin(), steps.end());
    if (steps.size() > 2 * keep) {
        steps.erase(steps.begin() + keep, steps.end() - keep);
        cut = true;
    }
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

} // namespace

std::string SampleTypes::path(const Place& place) const
{
    bool cut = false;
    const auto steps = stepsTo(*this, place, cut);
    std::string text = "$";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (cut && i == keep)
            text += "…";
        const Step& step = steps[i];
        if (step.isIndex) {
            text += '[' + std::to_string(step.index) + ']';
        } else if (plainName(step.key)) {
            text += '.';
            text += step.key;
        } else {
            text += "['";
            for (char c : step.key) {
                if (c == '\'' || c == '\\')
                    text += '\\';
                text += c;
            }
            text += "']";
        }
    }
    return text;
}

std::string SampleTypes::pointer(const Place& place) const
{
    bool cut = false;
    const auto steps = stepsTo(*this, place, cut);
    std::string text;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (cut && i == keep)
            text += "/…";
        text += '/';
        if (steps[i].isIndex) {
            text += std::to_string(steps[i].index);
            continue;
        }
        for (char c : steps[i].key) {
            if (c == '~')
                text += "~0";
            else if (c == '/')
                text += "~1";
            else
                text += c;
        }
    }
    return text;
}

} // namespace morvex
