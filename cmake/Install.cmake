# What `cmake --install` puts where (GNU layout), and the .deb that
# `cpack -G DEB` builds from it.
include(GNUInstallDirs)

set(KELVANE_DATA ${CMAKE_SOURCE_DIR}/data)
set(KELVANE_GENERATED ${CMAKE_BINARY_DIR}/generated)

install(TARGETS kelvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(KELVANE_GUI)
  install(TARGETS kelvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Desktop entry, metainfo and icons, all named after the application id.
configure_file(${KELVANE_DATA}/kelvane.desktop.in ${KELVANE_GENERATED}/${KELVANE_APP_ID}.desktop @ONLY)
configure_file(${KELVANE_DATA}/kelvane.metainfo.xml.in ${KELVANE_GENERATED}/${KELVANE_APP_ID}.metainfo.xml @ONLY)
if(KELVANE_GUI)
  install(FILES ${KELVANE_GENERATED}/${KELVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KELVANE_GENERATED}/${KELVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${KELVANE_DATA}/icons/kelvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${KELVANE_APP_ID}.svg)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${KELVANE_DATA}/icons/kelvane-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KELVANE_APP_ID}.png)
  endforeach()
endif()

# Man pages, compressed as Debian installs them.
find_program(GZIP gzip REQUIRED)
set(MAN_PAGES kelvane-cli.1)
if(KELVANE_GUI)
  list(APPEND MAN_PAGES kelvane.1)
endif()
set(MAN_OUTPUTS)
foreach(page ${MAN_PAGES})
  configure_file(${KELVANE_DATA}/man/${page}.in ${KELVANE_GENERATED}/man/${page} @ONLY)
  add_custom_command(OUTPUT ${KELVANE_GENERATED}/man/${page}.gz
                     COMMAND ${GZIP} -9 -n -c ${KELVANE_GENERATED}/man/${page} > ${KELVANE_GENERATED}/man/${page}.gz
                     DEPENDS ${KELVANE_GENERATED}/man/${page} VERBATIM)
  list(APPEND MAN_OUTPUTS ${KELVANE_GENERATED}/man/${page}.gz)
endforeach()
add_custom_target(man-pages ALL DEPENDS ${MAN_OUTPUTS})
install(FILES ${MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${KELVANE_DATA}/completion/kelvane-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvane RENAME copyright)

# cpack -G DEB: library dependencies come from dpkg-shlibdeps; the platform
# plugins are loaded at run time, so they are named here.
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR Brellwick)
set(CPACK_PACKAGE_CONTACT "Brellwick <support@brellwick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop disk-space utility")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvane shows where the space on your drives goes: duplicate file names, the largest files, the largest directories, the files changed between two dates, and per-drive statistics. kelvane-cli runs the same scans without windows, for scripts.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(KELVANE_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
endif()
include(CPack)
