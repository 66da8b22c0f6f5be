# A man page for each installed program, made by help2man from its --help and
# --version (which need no display), compressed as Debian's policy asks.
find_program(ZEPHYRA_HELP2MAN help2man)
find_program(ZEPHYRA_GZIP gzip REQUIRED)
if(NOT ZEPHYRA_HELP2MAN)
  message(WARNING "help2man not found: no man pages are built or installed (./dev installs it)")
  return()
endif()

set(zephyra_man_pages)
function(zephyra_man_page program summary)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            ${ZEPHYRA_HELP2MAN} --no-info --name=${summary} --output=${page}
            $<TARGET_FILE:${program}>
    COMMAND ${ZEPHYRA_GZIP} -9nf ${page}
    DEPENDS ${program} VERBATIM)
  set(zephyra_man_pages ${zephyra_man_pages} ${page}.gz PARENT_SCOPE)
endfunction()

zephyra_man_page(zephyra "audio test-signal generator for filtered, modulated white or pink noise")
zephyra_man_page(zephyra-render "render one memory of a Zephyra preset file into a WAV file")
zephyra_man_page(zephyra-remote "send a message to the running Zephyra generators")
zephyra_man_page(zephyra-script-editor "edit the script files that Zephyra plays")
add_custom_target(zephyra_man_pages ALL DEPENDS ${zephyra_man_pages})
install(FILES ${zephyra_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
