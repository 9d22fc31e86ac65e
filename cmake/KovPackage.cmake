# A Debian package of the program: cpack -G DEB in the build folder. Its dependencies are
# computed from the binary; it is stripped and holds the Debian changelog.
include(GNUInstallDirs)
set(CPACK_PACKAGE_NAME kovconfig)
set(CPACK_PACKAGE_VENDOR "Kov")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound and rendering settings for the game Kov")
if(KOV_HOMEPAGE_URL)
  set(CPACK_PACKAGE_HOMEPAGE_URL ${KOV_HOMEPAGE_URL})
endif()
# The .invalid domain is reserved never to exist: an unset maintainer is plainly unset.
if(KOV_MAINTAINER)
  set(CPACK_PACKAGE_CONTACT ${KOV_MAINTAINER})
else()
  set(CPACK_PACKAGE_CONTACT "Maintainer not set <kovconfig@maintainer-not-set.invalid>")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)  # "games" is for the games themselves
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (a message box's buttons) in the player's language; the program's own are in it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
# The summary above is the first line; these lines follow it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The settings utility that ships beside the game Kov: one dialog that reads the
game's kov.ini from the folder it is started in, lets the player choose the
sound card, playback, effects and rendering settings, and writes the file back
on OK, keeping everything in it that the dialog does not show.")

# Debian wants a changelog and manual pages in the package, compressed.
set(kov_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
file(WRITE ${kov_changelog} "kovconfig (${PROJECT_VERSION}) unstable; urgency=medium

  * Release ${PROJECT_VERSION}.

 -- ${CPACK_PACKAGE_CONTACT}  Mon, 07 Dec 2026 12:00:00 +0000
")
set(kov_manual ${CMAKE_CURRENT_BINARY_DIR}/kovconfig.1)
configure_file(app/resources/kovconfig.1.in ${kov_manual} @ONLY)
add_custom_command(OUTPUT ${kov_changelog}.gz ${kov_manual}.gz
                   COMMAND gzip -n -9 -f -k ${kov_changelog} ${kov_manual}
                   DEPENDS ${kov_changelog} ${kov_manual})
add_custom_target(kov_compressed_docs ALL DEPENDS ${kov_changelog}.gz ${kov_manual}.gz)
install(FILES ${kov_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The licence in Debian's machine-readable copyright format, its text taken from LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE kov_license)
string(REGEX REPLACE "^MIT License\n\n[^\n]*\n\n" "" kov_license "${kov_license}")
string(REGEX REPLACE "\n+$" "" kov_license "${kov_license}")
string(REPLACE "\n\n" "\n.\n" kov_license "${kov_license}")
string(REPLACE "\n" "\n " kov_license "${kov_license}")
set(kov_copyright ${CMAKE_CURRENT_BINARY_DIR}/copyright)
set(kov_source_field "")
if(KOV_HOMEPAGE_URL)
  set(kov_source_field "Source: ${KOV_HOMEPAGE_URL}\n")
endif()
file(WRITE ${kov_copyright} "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: kovconfig
${kov_source_field}
Files: *
Copyright: 2026 The kovconfig authors
License: MIT
 ${kov_license}
")
install(FILES ${kov_copyright} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${kov_manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(CPack)
