# The Windows download: cpack -G ZIP in a Windows build folder makes
# kovconfig-<version>-windows-x64.zip (or -x86.zip for 32-bit Windows), holding kovconfig.exe,
# README.txt and LICENSE.txt, the texts with Windows' CR LF line ends.
function(kov_windows_text source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
endfunction()
configure_file(${PROJECT_SOURCE_DIR}/win32/resources/README.txt.in ${CMAKE_CURRENT_BINARY_DIR}/README.lf.txt @ONLY)
kov_windows_text(${CMAKE_CURRENT_BINARY_DIR}/README.lf.txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
kov_windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)

install(TARGETS kovconfig RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_PACKAGE_NAME kovconfig)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME kovconfig-${PROJECT_VERSION}-windows-${KOV_WINDOWS_DOWNLOAD})
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)  # the three files at the top of the zip
set(CPACK_STRIP_FILES ON)
include(CPack)
