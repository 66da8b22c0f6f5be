# ./dev package: a Debian package from the install rules, with the files a
# package carries beside them (the copyright in Debian's machine-readable
# form, the changelog), both made from the project's own files.
set(ZEPHYRA_PACKAGE_MAINTAINER "The Zephyra developers <zephyra@vellacor.invalid>"
    CACHE STRING "Maintainer of the Debian package (name <address>)")

set(zephyra_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/zephyra)
set(zephyra_package_dir ${CMAKE_BINARY_DIR}/package)
# The licence text as a field of the copyright file: each line indented, empty lines as " .".
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines)
set(ZEPHYRA_LICENSE_TEXT "")
foreach(line IN LISTS license_lines)
  if(line STREQUAL "")
    set(line ".")
  endif()
  string(APPEND ZEPHYRA_LICENSE_TEXT " ${line}\n")
endforeach()
string(STRIP "${ZEPHYRA_LICENSE_TEXT}" ZEPHYRA_LICENSE_TEXT)
set(ZEPHYRA_LICENSE_TEXT " ${ZEPHYRA_LICENSE_TEXT}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${zephyra_package_dir}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${zephyra_package_dir}/changelog @ONLY)
add_custom_command(OUTPUT ${zephyra_package_dir}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${zephyra_package_dir}/changelog ${zephyra_package_dir}/changelog.tmp
  COMMAND ${ZEPHYRA_GZIP} -9nf ${zephyra_package_dir}/changelog.tmp
  COMMAND ${CMAKE_COMMAND} -E rename ${zephyra_package_dir}/changelog.tmp.gz ${zephyra_package_dir}/changelog.gz
  DEPENDS ${zephyra_package_dir}/changelog VERBATIM)
add_custom_target(zephyra_changelog ALL DEPENDS ${zephyra_package_dir}/changelog.gz)
install(FILES ${zephyra_package_dir}/copyright ${zephyra_package_dir}/changelog.gz DESTINATION ${zephyra_doc_dir})
# The lintian override belongs to the package only: a component of its own that a
# plain `cmake --install` leaves out and the package's install names.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zephyra.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zephyra
        COMPONENT package EXCLUDE_FROM_ALL)
# A stripped install (the package's) also drops the compiler's notes, as
# Debian's own packaging tools do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program zephyra zephyra-render zephyra-remote zephyra-script-editor)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
    endforeach()
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zephyra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio test-signal generator: filtered, modulated white or pink noise")
set(CPACK_PACKAGE_DESCRIPTION "Zephyra plays white or pink noise as a test signal for loudspeakers, rooms
and audio equipment, or writes it to WAV files. The noise passes through a
peaking, high-pass, low-pass, band-pass or notch filter per channel and can be modulated
in level; meters show its RMS and peak level and crest factor.
.
Four memory presets hold complete set-ups and are saved in preset files; a
small script language plays sequences of presets unattended, also in batch
mode from the command line. Several generators can start and stop together,
and other programs drive a running one over D-Bus (zephyra-remote).
zephyra-render writes a preset to a WAV file without a display or sound
device.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEPHYRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The links of the Help menu open through xdg-open; ALSA's default device
# reaches the desktop's sound server through one of the two plugins. Qt's
# Wayland plug-in (not pulled in by Qt's own libraries) lets the program run
# natively on a Wayland desktop instead of through Xwayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libasound2-plugins | pipewire-alsa, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The files of a full install and the package-only ones; not the update of the
# desktop's databases (component databases), which the system's triggers do.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/;${CMAKE_BINARY_DIR};${PROJECT_NAME};package;/")
include(CPack)
