// The yardstick: read a file and parse it fully with simdjson's DOM parser, nothing more.
//   morvex-yardstick FILE
#include <cstdio>
#include <simdjson.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    simdjson::padded_string text;
    if (auto error = simdjson::padded_string::load(argv[1]).get(text)) {
        std::fprintf(stderr, "%s\n", simdjson::error_message(error));
        return 1;
    }
    simdjson::dom::parser parser;
    // Depth limit raised so that the deep documents parse at all.
    if (auto error = parser.allocate(text.size(), 200000)) {
        std::fprintf(stderr, "%s\n", simdjson::error_message(error));
        return 1;
    }
    simdjson::dom::element root;
    if (auto error = parser.parse(text).get(root)) {
        std::fprintf(stderr, "%s\n", simdjson::error_message(error));
        return 1;
    }
    return root.is_null() ? 3 : 0;
}
