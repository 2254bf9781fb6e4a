// The document parser against simdjson on arbitrary bytes: whatever simdjson accepts, the parser accepts with
// the same shape; whatever the parser refuses, simdjson refuses too, and the reported place lies in the text.

#include "morvex/JSON.h"

#include "FuzzSupport.h"

#include <simdjson.h>

using morvex::fuzz::fail;

namespace {

morvex::JSON::Kind kindOf(simdjson::dom::element element)
{
    using Kind = morvex::JSON::Kind;
    switch (element.type()) {
    case simdjson::dom::element_type::ARRAY:
        return Kind::array;
    case simdjson::dom::element_type::OBJECT:
        return Kind::dictionary;
    case simdjson::dom::element_type::STRING:
        return Kind::string;
    case simdjson::dom::element_type::BOOL:
        return Kind::boolean;
    case simdjson::dom::element_type::NULL_VALUE:
        return Kind::null;
    default:
        return Kind::number;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const morvex::JSONDocument document = morvex::JSONDocument::parse(text);

    simdjson::dom::parser parser;
    simdjson::dom::element root;
    const bool fastOk = !parser.parse(simdjson::padded_string(text)).get(root);

    if (fastOk) {
        if (!document.ok())
            fail("refused what simdjson accepts", document.error()->describe());
        if (document.root().kind() != kindOf(root) || document.root().size() != [&]() -> std::size_t {
                if (root.is_array())
                    return root.get_array().value_unsafe().size();
                if (root.is_object())
                    return root.get_object().value_unsafe().size();
                return 0;
            }())
            fail("root differs from simdjson's", std::string(text.substr(0, 80)));
    }
    if (const morvex::JSONError* error = document.error()) {
        if (fastOk)
            fail("simdjson accepts what the parser refuses", error->describe());
        if (error->offset > text.size() || error->line < 1 || error->column < 1 || error->reason.empty())
            fail("error place", error->describe());
        if (document.root().kind() != morvex::JSON::Kind::null)
            fail("refused text must give a null root", error->describe());
    }
    return 0;
}
