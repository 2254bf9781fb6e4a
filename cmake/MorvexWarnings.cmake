# One place for the warning set every target of ours links.
add_library(morvex_warnings INTERFACE)
target_compile_options(morvex_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast -Wnon-virtual-dtor
    $<$<BOOL:${MORVEX_WERROR}>:-Werror>)

# Debug builds check every index into the standard containers and views: a read past the end stops there
# instead of reading whatever lies next. It changes no layout, so prebuilt libraries still link.
add_compile_definitions($<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>)

if(MORVEX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing: every library of ours carries coverage and the sanitizers; the fuzz targets add libFuzzer's driver.
if(MORVEX_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The Qt string-safety defines every Qt target of ours builds with: no silent conversion between QString and
# bytes, QStringBuilder for concatenation, no Q_FOREACH, and the Q_ macros instead of signals/slots/emit.
add_library(morvex_qt_defines INTERFACE)
target_compile_definitions(morvex_qt_defines INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_USE_QSTRINGBUILDER QT_NO_FOREACH QT_NO_KEYWORDS)

# Built with Debian's clazy as the compiler (script/test does so for one build): its Qt checks of level 1,
# with warnings as errors like the rest. Global statics are left to it: gtest's test registrations are such.
if(CMAKE_CXX_COMPILER MATCHES "clazy")
    target_compile_options(morvex_warnings INTERFACE "SHELL:-Xclang -plugin-arg-clazy -Xclang level1,no-non-pod-global-static")
endif()
