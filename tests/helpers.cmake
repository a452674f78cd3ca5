# The helpers the tests and the fuzz targets share, each built once: whole-file reads and writes with
# the BMP header builder, and the pipe feeder. Included by every project that builds tests.
find_package(Threads REQUIRED)

add_library(vandrel_test_files STATIC ${CMAKE_CURRENT_LIST_DIR}/test_files.cpp)
target_include_directories(vandrel_test_files PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vandrel_test_files PRIVATE vandrel_warnings)

add_library(vandrel_pipe_feed STATIC ${CMAKE_CURRENT_LIST_DIR}/pipe_feed.cpp)
target_include_directories(vandrel_pipe_feed PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vandrel_pipe_feed PUBLIC Threads::Threads PRIVATE vandrel_warnings)
