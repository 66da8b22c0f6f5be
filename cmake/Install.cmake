# The files that live beside the program, in the build tree and installed:
# programs in bin/, their companion files (example presets, help topics) in
# share/zephyra/, the desktop entry and the icon where desktops look for them.
# An installed program finds its companions through <bin>/../share/zephyra.
include(GNUInstallDirs)

# The help topics are copied beside the program whenever one changes.
file(GLOB zephyra_help_topics CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
set(zephyra_help_copies)
foreach(topic ${zephyra_help_topics})
  get_filename_component(name ${topic} NAME)
  set(copy ${ZEPHYRA_PROGRAM_DIR}/help/${name})
  add_custom_command(OUTPUT ${copy} COMMAND ${CMAKE_COMMAND} -E copy_if_different ${topic} ${copy}
                     DEPENDS ${topic} VERBATIM)
  list(APPEND zephyra_help_copies ${copy})
endforeach()
add_custom_target(zephyra_help ALL DEPENDS ${zephyra_help_copies})

set(ZEPHYRA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zephyra)
install(TARGETS zephyra zephyra-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The script editor that File > Open Script Editor starts from the program's folder.
if(TARGET zephyra-script-editor)
  install(TARGETS zephyra-script-editor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${ZEPHYRA_PROGRAM_DIR}/Examples.zep DESTINATION ${ZEPHYRA_SHARE_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help DESTINATION ${ZEPHYRA_SHARE_DIR})
# Preset files open in the generator, scripts in the script editor: a
# script handed to the generator would start a hidden batch run.
install(FILES ${PROJECT_SOURCE_DIR}/desktop/zephyra.desktop ${PROJECT_SOURCE_DIR}/desktop/zephyra-script-editor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/zephyra.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/org.vellacor.Zephyra.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/zephyra.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/zephyra-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME zephyra.png)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/zephyra.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# An install into a prefix (not a package's staging folder: DESTDIR, or the
# package's own install, which leaves out this component) updates that prefix's
# MIME and desktop databases where their tools exist, so that ".zep" files open
# in Zephyra at once. A package leaves it to the system's triggers.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    foreach(update "update-mime-database|share/mime" "update-desktop-database|share/applications")
      string(REPLACE "|" ";" update "${update}")
      list(GET update 0 tool)
      list(GET update 1 folder)
      find_program(zephyra_tool_${tool} ${tool})
      if(zephyra_tool_${tool})
        message(STATUS "Updating: ${CMAKE_INSTALL_PREFIX}/${folder} (${tool})")
        execute_process(COMMAND ${zephyra_tool_${tool}} "${CMAKE_INSTALL_PREFIX}/${folder}"
                        RESULT_VARIABLE status ERROR_VARIABLE errors)
        if(NOT status EQUAL 0)
          message(WARNING "${tool} ${CMAKE_INSTALL_PREFIX}/${folder} failed: ${errors}")
        endif()
      else()
        message(STATUS "Not updated: ${CMAKE_INSTALL_PREFIX}/${folder} (no ${tool})")
      endif()
    endforeach()
  endif()
]] COMPONENT databases)

include(cmake/ManPages.cmake)
include(cmake/Package.cmake)

# The installed copy works on its own: see tests/install/InstallTest.cmake.
add_test(NAME Install.InstalledRendererRendersTheInstalledExamples
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DWORK_DIR=${CMAKE_BINARY_DIR}/install-test
                 -DVERSION=${PROJECT_VERSION}
                 -P ${PROJECT_SOURCE_DIR}/tests/install/InstallTest.cmake)
