# What is installed beside the programs, and the two Debian packages CPack builds from it:
# `morvex-cli` (component cli, no Qt) and `morvex` (component app, the desktop program).
#
#   cpack --config <build>/CPackConfig.cmake -B <build>/packages

# morvex_install_man(<page> <component>): gzips docs/man/<page> at build time and installs it into man1.
function(morvex_install_man page component)
    set(compressed "${PROJECT_BINARY_DIR}/man/${page}.gz")
    add_custom_command(OUTPUT "${compressed}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${PROJECT_BINARY_DIR}/man"
        COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/docs/man/${page}" > "${compressed}"
        DEPENDS "${PROJECT_SOURCE_DIR}/docs/man/${page}"
        VERBATIM)
    string(MAKE_C_IDENTIFIER "man_${page}" target)
    add_custom_target(${target} ALL DEPENDS "${compressed}")
    install(FILES "${compressed}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT ${component})
endfunction()

set(morvex_components cli)
if(MORVEX_GUI)
    list(APPEND morvex_components app)
endif()

morvex_install_man(morvex-cli.1 cli)
if(MORVEX_GUI)
    morvex_install_man(morvex.1 app)
endif()

# Debian keeps each package's licence as /usr/share/doc/<package>/copyright.
install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/morvex-cli" RENAME copyright COMPONENT cli)
if(MORVEX_GUI)
    install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/morvex" RENAME copyright COMPONENT app)
endif()

set(MORVEX_PACKAGE_MAINTAINER "Morvex <packages@morvex.app>" CACHE STRING "Maintainer named in the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvex)
set(CPACK_PACKAGE_VENDOR Morvex)
set(CPACK_PACKAGE_CONTACT "${MORVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${MORVEX_HOME_URL}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${morvex_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE "${MORVEX_BUILD_NUMBER}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME morvex-cli)
# CPack puts the project's description above each of these as the summary line.
set(CPACK_DEBIAN_CLI_DESCRIPTION "The command-line tool: morvex-cli reads a JSON sample and writes one Swift
or Objective-C model type per JSON object, for scripts and CI.")

set(CPACK_DEBIAN_APP_PACKAGE_NAME morvex)
set(CPACK_DEBIAN_APP_PACKAGE_SECTION devel)
# Qt's own translations make its dialogs speak the app's language; the platform plugins let it open a window.
set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS "qt6-translations-l10n, qt6-qpa-plugins")
# Without a CJK font the Chinese texts are drawn as boxes.
set(CPACK_DEBIAN_APP_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-wayland")
set(CPACK_DEBIAN_APP_DESCRIPTION "The desktop app: Morvex turns a pasted JSON sample into Swift or Objective-C
model source files, with a settings sheet for author, company, class-name prefix
and root type name.")

include(CPack)
