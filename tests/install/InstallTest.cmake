# Installs the build into a fresh prefix and renders memory 1 of the installed
# "Examples.zep" with the installed zephyra-render; the WAV must be the one
# the build tree's renderer writes from the build tree's file with the same seed.
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -P InstallTest.cmake
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

foreach(path
    bin/zephyra bin/zephyra-render bin/ScriptEditor share/zephyra/Examples.zep
    share/zephyra/help/introduction.html share/zephyra/help/main-window.html
    share/applications/zephyra.desktop share/icons/hicolor/scalable/apps/zephyra.svg
    share/icons/hicolor/48x48/apps/zephyra.png share/icons/hicolor/256x256/apps/zephyra.png)
  if(NOT EXISTS ${prefix}/${path})
    fail("${path} was not installed")
  endif()
endforeach()
file(STRINGS ${prefix}/share/applications/zephyra.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=zephyra %f")
  fail("the desktop entry starts '${exec}'")
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
