# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local    (after building)
#   cd build && cpack -G DEB                       (melodeck_<version>_<arch>.deb)
#
# Laid out as a Debian program is:
#   bin/melodeck                                   the player
#   lib/melodeck/libbe.so                          the platform library
#   lib/melodeck/plugins/gen_VersoD.so             the displayer, with its
#   lib/melodeck/plugins/Language/*.llt            language files and
#   lib/melodeck/plugins/VersoD.htm                help document
#   lib/melodeck/Translators/Packscope             the archive translator
#   share/applications/melodeck.desktop            the desktop entry
#   share/icons/hicolor/NxN/apps/melodeck.png      its icon, 48 and 128 pixels
#   share/man/man1/melodeck.1                      the manual page
# The programs find the platform library through their RUNPATH, relative to
# where they are; the player finds its plug-ins and translators the same way
# (see host/PluginFolder.h and BTranslatorRoster). Nothing else is installed:
# no tests, benchmarks, demos or build tools.

set(MELODECK_VERSION 1.0.0)
set(MELODECK_LIB_DIR lib/melodeck)

if(NOT TARGET melodeck)
  return()
endif()

# The player's icon, drawn by make_app_icon with the platform's drawing.
add_executable(make_app_icon ${CMAKE_CURRENT_LIST_DIR}/make_app_icon.cpp)
target_link_libraries(make_app_icon PRIVATE be)
set_target_properties(make_app_icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(MELODECK_ICON_SIZES 48 128)
set(MELODECK_ICONS)
foreach(size ${MELODECK_ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/icons/melodeck-${size}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND ${CMAKE_COMMAND} -E env ${VERSO_TOOL_ENV}
            $<TARGET_FILE:make_app_icon> ${size} ${icon}
    DEPENDS make_app_icon
    COMMENT "Drawing the player's ${size}-pixel icon"
    VERBATIM)
  list(APPEND MELODECK_ICONS ${icon})
endforeach()
add_custom_target(melodeck_icons ALL DEPENDS ${MELODECK_ICONS})
add_dependencies(melodeck melodeck_icons)

# RUNPATHs of the installed files; the build tree keeps its own.
set_target_properties(melodeck PROPERTIES INSTALL_RPATH "$ORIGIN/../${MELODECK_LIB_DIR}")
set_target_properties(gen_VersoD Packscope PROPERTIES INSTALL_RPATH "$ORIGIN/..")

install(TARGETS melodeck RUNTIME DESTINATION bin)
install(TARGETS be LIBRARY DESTINATION ${MELODECK_LIB_DIR})
install(TARGETS gen_VersoD LIBRARY DESTINATION ${MELODECK_LIB_DIR}/plugins)
# Stripping (cmake --install --strip, and the package) rewrites the plug-in
# without the resources that follow its ELF data; they are appended again.
get_target_property(VERSOD_RESOURCE_ARGS gen_VersoD BE_RESOURCE_TOOL_ARGS)
set(VERSOD_RESOURCE_COMMAND "\"$<TARGET_FILE:berestool>\" \"\${plugin}\"")
foreach(arg ${VERSOD_RESOURCE_ARGS})
  string(APPEND VERSOD_RESOURCE_COMMAND " \"${arg}\"")
endforeach()
install(CODE "
if(CMAKE_INSTALL_DO_STRIP)
  set(plugin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${MELODECK_LIB_DIR}/plugins/gen_VersoD.so\")
  execute_process(COMMAND ${VERSOD_RESOURCE_COMMAND} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR \"cannot append the resources to \${plugin} again\")
  endif()
endif()")
install(FILES ${VERSOD_LANGUAGE_FILES} DESTINATION ${MELODECK_LIB_DIR}/plugins/Language)
install(FILES ${VERSOD_HELP_FILE} DESTINATION ${MELODECK_LIB_DIR}/plugins)
install(TARGETS Packscope LIBRARY DESTINATION ${MELODECK_LIB_DIR}/Translators)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/melodeck.desktop DESTINATION share/applications)
foreach(size ${MELODECK_ICON_SIZES})
  install(FILES ${CMAKE_BINARY_DIR}/icons/melodeck-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME melodeck.png)
endforeach()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/melodeck.1 DESTINATION share/man/man1)

# The Debian package. Its dependencies are worked out by dpkg-shlibdeps
# from the libraries the installed programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME melodeck)
set(CPACK_PACKAGE_VERSION ${MELODECK_VERSION})
set(CPACK_PACKAGE_VENDOR "Verso Displayer developers")
set(CPACK_PACKAGE_CONTACT "Verso Displayer developers <verso@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music player with a lyrics displayer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"music player with a lyrics displayer
Melodeck plays music files and playlists (every format libmpv reads) and
comes with the Verso Displayer plug-in, which shows each song's lyrics
(an LRC or text file beside the song) line by line in time with the music,
in a window docked beside the player. The Packscope translator, also
included, lists and extracts the members of ZIP archives.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Packscope runs unzip; Japanese lyrics and the built-in Japanese language
# need a Japanese font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "unzip, fonts-ipafont-gothic")
include(CPack)

# The installed player, run headless from a temporary prefix, and the
# package, built and listed. Both use what is built; neither builds.
add_test(NAME installed_player
         COMMAND ${CMAKE_SOURCE_DIR}/tests/install/installed_player_test.sh ${CMAKE_BINARY_DIR})
add_test(NAME debian_package
         COMMAND ${CMAKE_SOURCE_DIR}/tests/install/package_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(installed_player debian_package PROPERTIES TIMEOUT 120)
set_tests_properties(debian_package PROPERTIES SKIP_RETURN_CODE 77)
