#pragma once

#include "morvex/CodeModel.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// The generator of one conversion: its settings and the nested types found by the walk.
class JSONTool
{
public:
    /// Put in front of every generated type name.
    std::string classPrefix;
    /// Base class or protocol written in every type's opening line.
    std::string base;
    /// The Swift type keyword, "class" or "struct".
    std::string typePrefix;
    /// The nested types found so far, children before their parent (post-order).
    std::vector<CodeModel> model;
    /// When set, each nested type goes here as soon as its text is complete, instead of into `model`.
    std::function<void(CodeModel&&)> onType;

    /// `classPrefix` followed by safeName(`key`) with its first user-perceived character upper-cased by the full
    /// Unicode mapping ("ß" becomes "SS"; a digit stays). The rest of the key is kept as it is. An empty key gives
    /// the prefix alone.
    std::string typeName(std::string_view key) const;
};

/// `text` with its first grapheme cluster upper-cased (full mapping, root locale) and the rest unchanged.
std::string upperFirstCharacter(std::string_view text);

} // namespace morvex
