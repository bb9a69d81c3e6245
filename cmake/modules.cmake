# The core's modules, bottom to top. Each is one static library (or a header-only
# interface) that links exactly the modules it declares. A module may include only
# itself and what it declares, directly or through them; the check below fails the
# configure step otherwise, so a dependency that runs back up (a cycle) cannot creep in.
#
#   base       geometry and handle types
#   image      pixels: images, pixel operations, colours, lines
#   rotate     the free-angle turn
#   pipeline   one frame from capture to view (enlarge, mirror, turn, guides, layer)
#   settings   the INI file and the settings held in it
#   output     image files (BMP, PNG)
#   dialogs    the shell's services and the Programs-menu shortcut
#   mainwindow the view's behaviour, with the ports it asks the system through
set(OCU_MODULES base image rotate pipeline settings output dialogs mainwindow)
set(OCU_DEPENDS_base)
set(OCU_DEPENDS_image base)
set(OCU_DEPENDS_rotate image base)
set(OCU_DEPENDS_pipeline rotate image base)
set(OCU_DEPENDS_settings base)
set(OCU_DEPENDS_output image base)
set(OCU_DEPENDS_dialogs base)
set(OCU_DEPENDS_mainwindow pipeline rotate image settings output dialogs base)
# The Win32 edge and the entry point sit above the whole core.
set(OCU_DEPENDS_platform ${OCU_MODULES})
set(OCU_DEPENDS_app platform ${OCU_MODULES})

# Every `#include "module/..."` in src/<module>/ must name the module itself or one it declares.
function(ocu_check_module_includes)
  foreach(m ${OCU_MODULES} platform app)
    set(allowed ${m} ${OCU_DEPENDS_${m}})
    file(GLOB_RECURSE files ${CMAKE_SOURCE_DIR}/src/${m}/*.h ${CMAKE_SOURCE_DIR}/src/${m}/*.cpp)
    foreach(f ${files})
      file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"/]+/")
      foreach(line ${lines})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"/]+)/.*" "\\1" target "${line}")
        if(NOT target IN_LIST allowed)
          file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${f})
          message(FATAL_ERROR "${rel} includes \"${target}/...\", but module ${m} may include only: ${allowed}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
ocu_check_module_includes()

# All of the core's sources, for builds that instrument them as one (the fuzz targets).
set(OCU_CORE_SOURCES)
foreach(m ${OCU_MODULES})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${m}/*.cpp)
  list(APPEND OCU_CORE_SOURCES ${srcs})
endforeach()

# Builds the core's modules as ocu_<module><suffix>, with extra compile options, and an
# interface ocucore<suffix> that stands for the whole core.
function(ocu_core_libraries suffix)
  foreach(m ${OCU_MODULES})
    set(lib ocu_${m}${suffix})
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${m}/*.cpp)
    set(deps)
    foreach(d ${OCU_DEPENDS_${m}})
      list(APPEND deps ocu_${d}${suffix})
    endforeach()
    if(srcs)
      add_library(${lib} STATIC ${srcs})
      target_include_directories(${lib} PUBLIC ${CMAKE_SOURCE_DIR}/src)
      target_compile_options(${lib} PRIVATE ${OCU_WARNINGS} ${ARGN})
      target_link_libraries(${lib} PUBLIC ${deps})
    else()
      add_library(${lib} INTERFACE)
      target_include_directories(${lib} INTERFACE ${CMAKE_SOURCE_DIR}/src)
      target_link_libraries(${lib} INTERFACE ${deps})
    endif()
  endforeach()
  add_library(ocucore${suffix} INTERFACE)
  target_link_libraries(ocucore${suffix} INTERFACE ocu_mainwindow${suffix})
endfunction()
