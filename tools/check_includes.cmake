# cmake -DFILES=a;b -DFORBIDDEN=folder;folder -P check_includes.cmake
# Fails when a file includes a header found in one of the forbidden folders,
# by its own name or by its module path (<QtGui/QImage>).
cmake_minimum_required(VERSION 3.25)
set(forbidden_names)
foreach(folder ${FORBIDDEN})
  get_filename_component(module ${folder} NAME)
  list(APPEND forbidden_modules ${module})
  file(GLOB headers RELATIVE ${folder} ${folder}/*)
  list(APPEND forbidden_names ${headers})
endforeach()

set(offences)
foreach(file ${FILES})
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" first "${header}")
    if(header IN_LIST forbidden_names OR (header MATCHES "/" AND first IN_LIST forbidden_modules))
      list(APPEND offences "${file}: ${header}")
    endif()
  endforeach()
endforeach()

if(offences)
  list(JOIN offences "\n  " text)
  message(FATAL_ERROR "Qt Gui or Widgets header in a Qt Core library:\n  ${text}")
endif()
