# The helpers the tests and the fuzz targets share, each built once (whole-file reads and writes with
# the BMP header builder, and the pipe feeder), and the one way a test is registered. Included by every
# project that builds tests.
find_package(Threads REQUIRED)

add_library(vandrel_test_files STATIC ${CMAKE_CURRENT_LIST_DIR}/test_files.cpp)
target_include_directories(vandrel_test_files PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vandrel_test_files PRIVATE vandrel_warnings)

add_library(vandrel_pipe_feed STATIC ${CMAKE_CURRENT_LIST_DIR}/pipe_feed.cpp)
target_include_directories(vandrel_pipe_feed PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vandrel_pipe_feed PUBLIC Threads::Threads PRIVATE vandrel_warnings)

# vandrel_add_test(NAME [COMMAND program arg...] [SKIP_RETURN_CODE code] [TIMEOUT seconds])
# The one way a test is registered with ctest: the program NAME (or COMMAND), with Qt on its offscreen
# platform so that no test needs a display it does not bring itself. An exit with SKIP_RETURN_CODE
# reports the test as not run.
function(vandrel_add_test name)
  cmake_parse_arguments(ARG "" "SKIP_RETURN_CODE;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT ARG_COMMAND)
    set(ARG_COMMAND ${name})
  endif()
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(DEFINED ARG_SKIP_RETURN_CODE)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE ${ARG_SKIP_RETURN_CODE})
  endif()
  if(DEFINED ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()

# vandrel_add_gtest(NAME SOURCE... [LIBS lib...] [ARGS arg...] [OWN_MAIN] [SKIP_RETURN_CODE code])
# A GoogleTest program from SOURCE, registered by vandrel_add_test. OWN_MAIN: a source brings main.
function(vandrel_add_gtest name)
  cmake_parse_arguments(ARG "OWN_MAIN" "SKIP_RETURN_CODE" "LIBS;ARGS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE GTest::gtest vandrel_warnings vandrel_test_files ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set(skip)
  if(DEFINED ARG_SKIP_RETURN_CODE)
    set(skip SKIP_RETURN_CODE ${ARG_SKIP_RETURN_CODE})
  endif()
  vandrel_add_test(${name} COMMAND ${name} ${ARG_ARGS} ${skip})
endfunction()
