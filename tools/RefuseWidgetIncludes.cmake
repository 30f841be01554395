# corvane_refuse_widget_includes(target)
# Fails the build of target when one of its sources includes a Qt Gui or Qt
# Widgets header. Linking Qt Core alone does not catch this by itself: the
# umbrella include folder of Qt is on the path, so <QtWidgets/QWidget> would
# still compile.
set(CORVANE_INCLUDE_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_includes.cmake)

function(corvane_widget_header_folders out)
  set(folders)
  foreach(module Gui Widgets)
    get_target_property(dirs Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
    foreach(dir ${dirs})
      if(dir MATCHES "/Qt${module}$")
        list(APPEND folders ${dir})
      endif()
    endforeach()
  endforeach()
  if(NOT folders)
    message(FATAL_ERROR "Qt Gui and Widgets header folders not found; the core include check cannot run")
  endif()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

function(corvane_refuse_widget_includes target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(files)
  foreach(source ${sources})
    if(source MATCHES "\\.(cpp|h)$")
      if(NOT IS_ABSOLUTE ${source})
        set(source ${source_dir}/${source})
      endif()
      list(APPEND files ${source})
    endif()
  endforeach()
  corvane_widget_header_folders(folders)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_includes.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DFILES=${files}" "-DFORBIDDEN=${folders}"
            -P ${CORVANE_INCLUDE_CHECK_SCRIPT}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files} ${CORVANE_INCLUDE_CHECK_SCRIPT}
    COMMENT "Checking that ${target} includes no Qt Gui or Widgets header"
    VERBATIM)
  add_custom_target(${target}_include_check DEPENDS ${stamp})
  add_dependencies(${target} ${target}_include_check)
endfunction()
