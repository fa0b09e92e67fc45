# Installing the game (cmake --install build --prefix PREFIX) and its Debian
# package (scripts/package.sh, CPack), in Debian's layout for games: the
# executable in PREFIX/games, its data in PREFIX/share/games/umbrane, where the
# installed program finds them from its own place (platform/files.cpp), so both
# folders are fixed here. An installed game keeps its savegame in the user's
# data folder and its preferences in the user's config folder.
set(UMBRANE_DIST ${CMAKE_SOURCE_DIR}/dist)
install(TARGETS umbrane RUNTIME DESTINATION games)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/game/config ${CMAKE_SOURCE_DIR}/game/data ${CMAKE_SOURCE_DIR}/game/graphics
                  ${CMAKE_SOURCE_DIR}/game/maps ${CMAKE_SOURCE_DIR}/game/sound ${CMAKE_SOURCE_DIR}/game/tilesets
        DESTINATION share/games/umbrane
        PATTERN "*.md" EXCLUDE)  # the notes for data authors stay in the sources
install(FILES ${UMBRANE_DIST}/umbrane.desktop DESTINATION share/applications)
install(FILES ${UMBRANE_DIST}/org.umbrane.Umbrane.metainfo.xml DESTINATION share/metainfo)
file(GLOB UMBRANE_ICON_SIZES RELATIVE ${UMBRANE_DIST}/icons ${UMBRANE_DIST}/icons/*)
foreach(size ${UMBRANE_ICON_SIZES})
  install(FILES ${UMBRANE_DIST}/icons/${size}/umbrane.png DESTINATION share/icons/hicolor/${size}/apps)
endforeach()
# Manual page and the Debian documentation, compressed as Debian wants them.
set(UMBRANE_DOC_BUILD ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${UMBRANE_DOC_BUILD})
add_custom_command(OUTPUT ${UMBRANE_DOC_BUILD}/umbrane.6.gz ${UMBRANE_DOC_BUILD}/changelog.gz
  COMMAND gzip -9n -c ${UMBRANE_DIST}/umbrane.6 > ${UMBRANE_DOC_BUILD}/umbrane.6.gz
  COMMAND gzip -9n -c ${UMBRANE_DIST}/changelog > ${UMBRANE_DOC_BUILD}/changelog.gz
  DEPENDS ${UMBRANE_DIST}/umbrane.6 ${UMBRANE_DIST}/changelog)
add_custom_target(umbrane_docs ALL DEPENDS ${UMBRANE_DOC_BUILD}/umbrane.6.gz ${UMBRANE_DOC_BUILD}/changelog.gz)
install(FILES ${UMBRANE_DOC_BUILD}/umbrane.6.gz DESTINATION share/man/man6)
install(FILES ${UMBRANE_DIST}/copyright ${UMBRANE_DOC_BUILD}/changelog.gz DESTINATION share/doc/umbrane)

# The Debian package: the libraries it links found by dpkg-shlibdeps, the
# fonts it draws with named (fontconfig picks them for the faces the data
# name: Arial, Verdana, Harrington).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME umbrane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Umbrane developers <dev@umbrane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based dungeon role-playing game")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Umbrane is a single-player, turn-based dungeon role-playing game with
square-tile graphics. One character walks over maps, through portals and
down generated dungeon levels, fights monsters, uses powers, carries and
equips items and raises abilities. Every rule and every piece of content
comes from XML data files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
# SDL's message box (the "Error" box) draws with the X core fonts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base")
# The debug information goes into its own package, umbrane-dbgsym (a .ddeb
# beside the .deb, found by the executable's build id); CPack strips the game
# after taking it out (stripped before, there would be none to take).
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package test (tests/package): made from this build, unpacked read-only, played as a user with an empty home.
if(UMBRANE_TESTS AND NOT UMBRANE_SANITIZE AND NOT UMBRANE_FUZZ)
  add_test(NAME package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/install_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES TIMEOUT 300)
endif()

# The command-line forms and their exit statuses; the manual page names every option.
if(UMBRANE_TESTS AND NOT UMBRANE_FUZZ)
  add_test(NAME command_line COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/command_line.sh $<TARGET_FILE:umbrane>
    ${UMBRANE_DIST}/umbrane.6)
  set_tests_properties(command_line PROPERTIES TIMEOUT 120)
endif()
