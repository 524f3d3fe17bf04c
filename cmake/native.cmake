# Linux (and macOS) build: the core with the POSIX seams, the virtual board
# and the native tests.
add_library(tarvelin_core STATIC
    ${TARVELIN_CORE_SOURCES}
    res/string_table.cpp
    app/resource_text_posix.cpp
    app/module_path_posix.cpp
    app/narrow_path_posix.cpp
    app/ui_record.cpp
    image/file_io_posix.cpp
    serial/port_posix.cpp
)
target_include_directories(tarvelin_core PUBLIC ${TARVELIN_INCLUDE})
target_link_libraries(tarvelin_core PUBLIC pthread)

add_library(tarvelin_board STATIC sim/board.cpp)
target_include_directories(tarvelin_board PUBLIC ${TARVELIN_INCLUDE})
target_link_libraries(tarvelin_board PUBLIC pthread)
add_executable(tarvelin-board sim/main.cpp)
target_link_libraries(tarvelin-board PRIVATE tarvelin_board)
