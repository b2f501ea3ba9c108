# Each folder of the program includes only from the folders below it:
#   framework <- scan, controls <- ui <- app
# Run at configure time by the build (a wrong include stops it) and by a test, in script
# mode, on a tree that breaks the rule: cmake -DROOT=<tree> -P CheckLayers.cmake
if(NOT ROOT)
  set(ROOT "${CMAKE_CURRENT_LIST_DIR}/..")
endif()

set(_forbidden_framework "scan;controls;ui;app")
set(_forbidden_scan "controls;ui;app")
set(_forbidden_controls "scan;ui;app")
set(_forbidden_ui "app")

set(_broken "")
foreach(layer framework scan controls ui)
  file(GLOB _sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(source ${_sources})
    file(STRINGS "${source}" _includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${_includes})
      foreach(other ${_forbidden_${layer}})
        if(line MATCHES "\"(\\.\\./)*${other}/")
          list(APPEND _broken "${source}: ${line}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(_broken)
  list(JOIN _broken "\n  " _text)
  message(FATAL_ERROR "An include reaches up a layer (framework <- scan, controls <- ui <- app):\n  ${_text}")
endif()
