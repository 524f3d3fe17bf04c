# Linux (and macOS) build: the core with the POSIX seams, the virtual board
# and the native tests.
# The core without a user interface: each program brings its own.
add_library(tarvelin_core_base OBJECT
    ${TARVELIN_CORE_SOURCES}
    app/module_path_posix.cpp
    app/narrow_path_posix.cpp
    image/file_io_posix.cpp
    serial/port_posix.cpp
)
target_include_directories(tarvelin_core_base PUBLIC ${TARVELIN_INCLUDE})
target_link_libraries(tarvelin_core_base PUBLIC pthread)

# With the recording interface and the string table, for tests and benchmarks.
add_library(tarvelin_core STATIC $<TARGET_OBJECTS:tarvelin_core_base>
    app/ui_record.cpp res/string_table.cpp app/resource_text_table.cpp)
target_include_directories(tarvelin_core PUBLIC ${TARVELIN_INCLUDE})
target_link_libraries(tarvelin_core PUBLIC pthread)

add_library(tarvelin_board STATIC sim/board.cpp)
target_include_directories(tarvelin_board PUBLIC ${TARVELIN_INCLUDE})
target_link_libraries(tarvelin_board PUBLIC pthread)
add_executable(tarvelin-board sim/main.cpp)
target_link_libraries(tarvelin-board PRIVATE tarvelin_board)

# The console program, with the virtual board for --simulate.
add_executable(tarvelin-cli ${TARVELIN_CLI_SOURCES} $<TARGET_OBJECTS:tarvelin_core_base>
    cli/console_posix.cpp cli/virtual_board_posix.cpp cli/main_posix.cpp)
target_link_libraries(tarvelin-cli PRIVATE tarvelin_board pthread)
# The loader beside the program, as it looks for it there.
add_custom_command(TARGET tarvelin-cli POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/examples/write.mot $<TARGET_FILE_DIR:tarvelin-cli>/write.mot)
