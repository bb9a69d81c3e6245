# Native build: the core, its unit tests under the sanitizers, the benchmarks and
# the end-to-end tests that drive the real Ocumira.exe under Xvfb and Wine.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)

set(OCU_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

# Core built twice: sanitized for the tests, optimised for the benchmarks.
ocu_core_libraries(_san ${OCU_SANITIZE} -O1 -g)
target_link_options(ocucore_san INTERFACE ${OCU_SANITIZE})

ocu_core_libraries("" -O2)

add_subdirectory(${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_BINARY_DIR}/tests-support)

file(GLOB_RECURSE OCU_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
list(FILTER OCU_TEST_SOURCES EXCLUDE REGEX "/tests/(win32|e2e|fuzz)/")
add_executable(ocu_tests ${OCU_TEST_SOURCES})
target_include_directories(ocu_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(ocu_tests PRIVATE ${OCU_WARNINGS} ${OCU_SANITIZE} -O1 -g)
target_link_libraries(ocu_tests PRIVATE ocucore_san ocu_test_support GTest::gtest GTest::gtest_main)
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/dialogs/DialogTextsTest.cpp PROPERTIES
  COMPILE_DEFINITIONS OCU_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(ocu_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)

file(GLOB OCU_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(OCU_BENCH_SOURCES)
  add_executable(ocu_bench ${OCU_BENCH_SOURCES})
  target_compile_options(ocu_bench PRIVATE -O2)
  target_link_libraries(ocu_bench PRIVATE ocucore benchmark::benchmark benchmark::benchmark_main)
endif()

# The native X11 program: the optimised core behind the Qt Widgets edge in src/platform/qt.
find_package(Qt6 QUIET COMPONENTS Widgets PrintSupport DBus)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(OCU_XCB QUIET IMPORTED_TARGET xcb xcb-shm xcb-xtest xcb-randr xcb-damage xcb-xfixes xcb-keysyms xcb-xinput xcb-sync)
  # A Wayland desktop's screen comes through the portal as PipeWire streams.
  pkg_check_modules(OCU_PIPEWIRE QUIET IMPORTED_TARGET libpipewire-0.3)
endif()
if(Qt6_FOUND AND OCU_XCB_FOUND AND OCU_PIPEWIRE_FOUND)
  file(GLOB OCU_QT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/qt/*.cpp ${CMAKE_SOURCE_DIR}/src/platform/qt/*.h
    ${CMAKE_SOURCE_DIR}/src/platform/qt/wayland/*.cpp ${CMAKE_SOURCE_DIR}/src/platform/qt/wayland/*.h
    ${CMAKE_SOURCE_DIR}/src/platform/qt/*.qrc)
  add_executable(ocumira ${OCU_QT_SOURCES})
  set_target_properties(ocumira PROPERTIES AUTOMOC ON AUTORCC ON)
  target_include_directories(ocumira PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(ocumira PRIVATE ${OCU_WARNINGS})
  target_link_libraries(ocumira PRIVATE ocucore Qt6::Widgets Qt6::PrintSupport Qt6::DBus PkgConfig::OCU_XCB
    PkgConfig::OCU_PIPEWIRE)
  target_compile_definitions(ocumira PRIVATE OCU_VERSION_TEXT="${PROJECT_VERSION}")
  # The Japanese guide and the icon lie beside the program, as the release puts them
  # beside Ocumira.exe: help opens the guide, the desktop entry shows the icon.
  add_custom_command(TARGET ocumira POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/guide-ja.txt
            $<TARGET_FILE_DIR:ocumira>/使い方.txt
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/Ocumira.ico
            $<TARGET_FILE_DIR:ocumira>/ocumira.ico)
  include(${CMAKE_SOURCE_DIR}/cmake/package-deb.cmake)
else()
  message(STATUS "Qt 6 Widgets, the xcb libraries or libpipewire not found: the native program is not built")
endif()

# End-to-end tests: need the Windows build's exe (scripts/test passes its path).
set(OCUMIRA_EXE "" CACHE FILEPATH "Ocumira.exe from the windows preset, for the end-to-end tests")
set(OCUMIRA_WIN_DIR "" CACHE PATH "Build folder of the windows preset (test helper exes)")
file(GLOB OCU_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
find_package(X11 QUIET)
if(OCU_E2E_SOURCES AND X11_FOUND AND X11_XTest_FOUND)
  add_executable(ocu_e2e ${OCU_E2E_SOURCES})
  target_include_directories(ocu_e2e PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(ocu_e2e PRIVATE
    OCUMIRA_EXE="${OCUMIRA_EXE}" OCUMIRA_WIN_DIR="${OCUMIRA_WIN_DIR}" OCU_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # GCC 12 takes "text" + std::to_string(...) inlined at -O2 for an overlapping memcpy
  # (a known false -Wrestrict); the e2e tests build their failure texts that way.
  target_compile_options(ocu_e2e PRIVATE ${OCU_WARNINGS} $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
  target_link_libraries(ocu_e2e PRIVATE ocucore ocu_test_support GTest::gtest GTest::gtest_main X11::X11 X11::Xtst Threads::Threads)
  # The scenarios written for both programs drive the native one too, with the X11 twins of
  # the Windows test helpers beside it.
  file(GLOB OCU_X11_HELPERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/x11/helper_*.cpp)
  foreach(src ${OCU_X11_HELPERS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE X11::X11)
    add_dependencies(ocu_e2e ${name})
  endforeach()
  target_compile_definitions(ocu_e2e PRIVATE OCUMIRA_NATIVE_DIR="${CMAKE_BINARY_DIR}")
  if(TARGET ocumira)
    target_compile_definitions(ocu_e2e PRIVATE OCUMIRA_NATIVE="$<TARGET_FILE:ocumira>")
    add_dependencies(ocu_e2e ocumira)
  endif()
  gtest_discover_tests(ocu_e2e DISCOVERY_TIMEOUT 60 PROPERTIES LABELS e2e RUN_SERIAL TRUE TIMEOUT 300)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
endif()

# scripts/bench: the kernels timed the same way as in the windows preset, and the load
# (moving content, pointer, counting) of the end-to-end benchmark.
add_executable(ocu_kernel_bench ${CMAKE_SOURCE_DIR}/bench/kernel/kernel_bench.cpp)
target_compile_options(ocu_kernel_bench PRIVATE -O2)
target_link_libraries(ocu_kernel_bench PRIVATE ocucore)
find_library(OCU_XDAMAGE_LIB Xdamage)
if(X11_FOUND AND X11_XTest_FOUND AND OCU_XDAMAGE_LIB)
  add_executable(ocu_bench_driver ${CMAKE_SOURCE_DIR}/bench/driver/bench_driver.cpp)
  target_compile_options(ocu_bench_driver PRIVATE -O2)
  target_link_libraries(ocu_bench_driver PRIVATE X11::X11 X11::Xtst ${OCU_XDAMAGE_LIB})
endif()
