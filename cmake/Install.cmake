# Installation. The program finds its skins and help beside its own
# executable, so the three live together in a private folder and "ludex" on
# the PATH is a symbolic link to the executable there (the program resolves
# its path through the link), in games/ as the file system hierarchy has it
# for games (/usr/games and /usr/local/games are on Debian's PATH). The
# tools go to bin/; manual pages, the desktop entry, icons and AppStream
# metadata where the desktop looks.
include(GNUInstallDirs)
set(LUDEX_PRIVATE_DIR "lib/ludex")
set(LUDEX_GAMES_DIR "games")

install(TARGETS ludex RUNTIME DESTINATION ${LUDEX_PRIVATE_DIR})
install(DIRECTORY "${PROJECT_BINARY_DIR}/Skins" "${PROJECT_BINARY_DIR}/Help"
        DESTINATION ${LUDEX_PRIVATE_DIR})
# The link is made in the build tree and installed as a link, so that the
# install manifest (and uninstall) lists it like every other file.
set(ludex_link_dir "${PROJECT_BINARY_DIR}/install-links")
file(MAKE_DIRECTORY "${ludex_link_dir}")
file(CREATE_LINK "../${LUDEX_PRIVATE_DIR}/ludex" "${ludex_link_dir}/ludex" SYMBOLIC)
install(FILES "${ludex_link_dir}/ludex" DESTINATION ${LUDEX_GAMES_DIR})
install(TARGETS ludex-engine ludex-skin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages and the Debian changelog, compressed as Debian installs them
# (gzip -n: no name or time stamp, so the same page gives the same bytes).
set(ludex_gzipped "")
function(ludex_gzip source output)
  add_custom_command(
    OUTPUT "${output}"
    COMMAND gzip -9n -c "${source}" > "${output}"
    DEPENDS "${source}"
    COMMENT "Compressing ${source}")
  set(ludex_gzipped ${ludex_gzipped} "${output}" PARENT_SCOPE)
endfunction()
foreach(page ludex.6 ludex-engine.1 ludex-skin.1)
  set(source "${PROJECT_SOURCE_DIR}/man/${page}")
  if(EXISTS "${source}")
    string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section "${page}")
    ludex_gzip("${source}" "${PROJECT_BINARY_DIR}/man/${page}.gz")
    install(FILES "${PROJECT_BINARY_DIR}/man/${page}.gz"
            DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
  endif()
endforeach()
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/man" "${PROJECT_BINARY_DIR}/doc")
ludex_gzip("${PROJECT_SOURCE_DIR}/packaging/changelog" "${PROJECT_BINARY_DIR}/doc/changelog.Debian.gz")
add_custom_target(ludex_docs ALL DEPENDS ${ludex_gzipped})
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" "${PROJECT_BINARY_DIR}/doc/changelog.Debian.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/ludex")

# The desktop: menu entry, icons in the hicolor theme, AppStream metadata.
file(GLOB ludex_desktop_entries "${PROJECT_SOURCE_DIR}/data/*.desktop")
file(GLOB ludex_metainfo "${PROJECT_SOURCE_DIR}/data/*.metainfo.xml")
install(FILES ${ludex_desktop_entries} DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES ${ludex_metainfo} DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
if(EXISTS "${PROJECT_SOURCE_DIR}/data/icons/hicolor")
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/icons/hicolor"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons")
endif()

# The Debian package: `make package` (CPack's Debian generator).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ludex)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Ludex developers <ludex@ludex.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess and checkers against the computer, with skins")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ludex is a small desktop board-game program: one skinned, shaped window with\n\
two games, chess and checkers. You play White with the mouse and the\n\
computer answers at once. Players choose among skins (two come with the\n\
program) and may write their own: an XML description and BMP pictures in a\n\
folder or a ZIP archive. A help page, a lint for skin authors (ludex-skin)\n\
and an engine tool (ludex-engine) are included.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ludex.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories the system owns are not the package's.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
