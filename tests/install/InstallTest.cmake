# Installs the build into a fresh prefix and renders memory 1 of the installed
# "Examples.zep" with the installed zephyra-render; the WAV must be the one
# the build tree's renderer writes from the build tree's file with the same seed.
# Every installed program answers --version without a display, its man page
# renders, and the desktop files pass the desktop's own validators.
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -DVERSION=<x.y> -P InstallTest.cmake
function(fail message)
  message(FATAL_ERROR "install test: ${message}")
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  fail("cmake --install failed: ${errors}")
endif()

set(programs zephyra zephyra-render zephyra-remote zephyra-script-editor)
foreach(path
    bin/zephyra bin/zephyra-render bin/zephyra-remote bin/zephyra-script-editor share/zephyra/Examples.zep
    share/doc/zephyra/copyright share/mime/packages/zephyra.xml share/metainfo/org.vellacor.Zephyra.metainfo.xml
    share/applications/zephyra-script-editor.desktop
    share/zephyra/help/introduction.html share/zephyra/help/main-window.html
    share/applications/zephyra.desktop share/icons/hicolor/scalable/apps/zephyra.svg
    share/icons/hicolor/48x48/apps/zephyra.png share/icons/hicolor/256x256/apps/zephyra.png)
  if(NOT EXISTS ${prefix}/${path})
    fail("${path} was not installed")
  endif()
endforeach()
# A preset file opens in the generator, a script in the editor (never a batch run).
foreach(entry "zephyra|application/x-zephyra-presets" "zephyra-script-editor|text/x-zephyra-script")
  string(REPLACE "|" ";" entry ${entry})
  list(GET entry 0 program)
  list(GET entry 1 type)
  file(READ ${prefix}/share/applications/${program}.desktop text)
  if(NOT text MATCHES "\nExec=${program} %f\n" OR NOT text MATCHES "\nMimeType=${type};\n")
    fail("${program}.desktop reads: ${text}")
  endif()
endforeach()

# The command runs with exit status 0 and nothing on stderr; its stdout is returned.
function(run_clean out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    fail("'${ARGN}' ended with ${status}: ${errors}")
  endif()
  set(${out} "${output}" PARENT_SCOPE)
endfunction()

foreach(program ${programs})
  # No display: a program that created its Qt application first would abort here.
  run_clean(version ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            ${prefix}/bin/${program} --version)
  if(NOT version MATCHES "^${program} \\(Zephyra\\) ${VERSION}\n")
    fail("${program} --version printed '${version}'")
  endif()
  set(page ${prefix}/share/man/man1/${program}.1.gz)
  run_clean(manual ${CMAKE_COMMAND} -E env MANWIDTH=80 man --warnings -l ${page})
  if(NOT manual MATCHES "NAME\n +${program} +- " OR NOT manual MATCHES "--version")
    fail("the man page of ${program} reads: ${manual}")
  endif()
endforeach()
execute_process(COMMAND ${prefix}/bin/zephyra-render RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 2 OR NOT output STREQUAL "" OR NOT errors MATCHES "^Usage: zephyra-render PRESET_FILE")
  fail("zephyra-render without arguments: ${status} '${output}' '${errors}'")
endif()

run_clean(ignored desktop-file-validate ${prefix}/share/applications/zephyra.desktop
          ${prefix}/share/applications/zephyra-script-editor.desktop)
run_clean(ignored appstreamcli validate --no-net ${prefix}/share/metainfo/org.vellacor.Zephyra.metainfo.xml)
# The install updated the prefix's own MIME and desktop databases (./dev installs
# their tools): both extensions are known, and a preset file opens in the generator.
file(STRINGS ${prefix}/share/mime/globs2 globs REGEX "zephyra")
if(NOT globs MATCHES "application/x-zephyra-presets:\\*\\.zep" OR NOT globs MATCHES "text/x-zephyra-script:\\*\\.zes")
  fail("the MIME database holds '${globs}'")
endif()
file(STRINGS ${prefix}/share/applications/mimeinfo.cache handlers REGEX "zephyra")
if(NOT handlers MATCHES "application/x-zephyra-presets=zephyra.desktop")
  fail("the desktop database holds '${handlers}'")
endif()
# Packaging-only files stay out of a prefix; the package's own install has them.
if(EXISTS ${prefix}/share/lintian)
  fail("a plain install put share/lintian into the prefix")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/package --component package
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT EXISTS ${WORK_DIR}/package/share/lintian/overrides/zephyra)
  fail("the package's install lacks the lintian override: ${status} ${errors}")
endif()

function(render program presets out)
  execute_process(COMMAND ${program} ${presets} 1 ${out} --seed 7
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    fail("${program} ended with ${status}: ${errors}")
  endif()
endfunction()
render(${prefix}/bin/zephyra-render ${prefix}/share/zephyra/Examples.zep ${WORK_DIR}/installed.wav)
render(${BUILD_DIR}/bin/zephyra-render ${BUILD_DIR}/bin/Examples.zep ${WORK_DIR}/built.wav)

file(READ ${WORK_DIR}/installed.wav riff LIMIT 4 HEX)
file(READ ${WORK_DIR}/installed.wav wave OFFSET 8 LIMIT 4 HEX)
if(NOT riff STREQUAL "52494646" OR NOT wave STREQUAL "57415645")
  fail("installed.wav is not a WAV file")
endif()
file(SIZE ${WORK_DIR}/installed.wav size)
if(size LESS 1000)
  fail("installed.wav holds only ${size} bytes")
endif()
file(SHA256 ${WORK_DIR}/installed.wav installed)
file(SHA256 ${WORK_DIR}/built.wav built)
if(NOT installed STREQUAL built)
  fail("the installed copy renders other bytes than the build tree")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
