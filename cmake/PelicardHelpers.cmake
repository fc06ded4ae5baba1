# pelicard_add_library(NAME SOURCES ... LIBS ...): one static library of a source folder.
function(pelicard_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# pelicard_add_test(NAME SOURCES ... LIBS ...): one GoogleTest program registered with CTest,
# run on the offscreen platform with a fixed locale.
find_package(GTest REQUIRED)

# Leaks are errors in the sanitizer build; the few one-off allocations of system libraries that
# live as long as the process are listed in tests/lsan.supp.
set(PELICARD_LEAK_OPTIONS "ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
function(pelicard_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} pelicard_testmain GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE PELICARD_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;TZ=UTC;${PELICARD_LEAK_OPTIONS}"
    TIMEOUT 300)
endfunction()
