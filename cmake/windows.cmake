# Windows build: the real program, and the Win32-side tests that run through Wine.
ocu_core_libraries("" -O2)

enable_language(RC)
file(GLOB_RECURSE OCU_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp)
add_library(ocuwin32 STATIC ${OCU_WIN32_SOURCES})
target_include_directories(ocuwin32 PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(ocuwin32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
target_compile_options(ocuwin32 PRIVATE ${OCU_WARNINGS} -O2)
target_link_libraries(ocuwin32 PUBLIC ocucore comctl32 comdlg32 gdi32 user32 shell32 ole32 uuid version winspool)

set(OCU_STATIC -static -static-libgcc -static-libstdc++)
add_executable(Ocumira WIN32 ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${CMAKE_SOURCE_DIR}/resources/Ocumira.rc)
target_link_libraries(Ocumira PRIVATE ocuwin32)
target_link_options(Ocumira PRIVATE ${OCU_STATIC} -municode)

# GoogleTest from the distribution's sources, built with MinGW.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/tests-support)

file(GLOB OCU_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
list(FILTER OCU_WIN_TEST_SOURCES EXCLUDE REGEX "/tests/win32/helper_")
if(OCU_WIN_TEST_SOURCES)
  add_executable(ocu_win_tests ${OCU_WIN_TEST_SOURCES})
  target_include_directories(ocu_win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(ocu_win_tests PRIVATE ${OCU_WARNINGS})
  target_link_libraries(ocu_win_tests PRIVATE ocuwin32 ocu_test_support gtest gtest_main)
  target_link_options(ocu_win_tests PRIVATE ${OCU_STATIC})
  # The soak runs minutes of ticks: its own label, so the rest of the Win32 side stays quick.
  add_test(NAME win32_tests COMMAND ocu_win_tests --gtest_filter=-SoakTest.*)
  set_tests_properties(win32_tests PROPERTIES LABELS win32 TIMEOUT 600)
  add_test(NAME win32_soak COMMAND ocu_win_tests --gtest_filter=SoakTest.*)
  set_tests_properties(win32_soak PROPERTIES LABELS soak TIMEOUT 600)
endif()

# Small Win32 helper programs used by the end-to-end tests (a target window that logs
# the mouse messages it receives, a clipboard reader...). One .cpp each.
file(GLOB OCU_WIN_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/helper_*.cpp)
foreach(src ${OCU_WIN_HELPERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE)
  # -Wno-restrict: GCC 12's false alarm on "text" + std::string inlined at -O2.
  target_compile_options(${name} PRIVATE ${OCU_WARNINGS} -Wno-restrict)
  target_link_libraries(${name} PRIVATE user32 gdi32 ole32 shell32 uuid)
  target_link_options(${name} PRIVATE ${OCU_STATIC} -municode)
endforeach()

# scripts/bench: the tick's kernels as the MinGW build runs them under Wine.
add_executable(ocu_kernel_bench ${CMAKE_SOURCE_DIR}/bench/kernel/kernel_bench.cpp)
target_link_libraries(ocu_kernel_bench PRIVATE ocucore)
target_link_options(ocu_kernel_bench PRIVATE ${OCU_STATIC})

# scripts/bench: the straightforward GDI tick the program is measured against.
add_executable(ocu_gdi_tick WIN32 ${CMAKE_SOURCE_DIR}/bench/reference/gdi_tick.cpp)
target_compile_definitions(ocu_gdi_tick PRIVATE UNICODE _UNICODE)
target_compile_options(ocu_gdi_tick PRIVATE ${OCU_WARNINGS} -O2)
target_link_libraries(ocu_gdi_tick PRIVATE user32 gdi32 shell32)
target_link_options(ocu_gdi_tick PRIVATE ${OCU_STATIC} -municode)
