# Windows build (mingw-w64): the shell library, tarvelin.exe and its resources.
set(TARVELIN_ICON ${CMAKE_BINARY_DIR}/res/tarvelin.ico)
add_custom_command(
    OUTPUT ${TARVELIN_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/res
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/res/make_icon.py ${TARVELIN_ICON}
    DEPENDS ${CMAKE_SOURCE_DIR}/res/make_icon.py
    COMMENT "Drawing the application icon")

set(TARVELIN_RC ${CMAKE_SOURCE_DIR}/res/tarvelin.rc)
set_source_files_properties(${TARVELIN_RC} PROPERTIES
    OBJECT_DEPENDS "${TARVELIN_ICON};${CMAKE_SOURCE_DIR}/res/strings.def;${CMAKE_SOURCE_DIR}/res/tarvelin.manifest;${CMAKE_SOURCE_DIR}/res/resource.h")
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/res -I${CMAKE_SOURCE_DIR}/res -c 65001")

# The core on Win32, shared by the dialog program and the console program.
add_library(tarvelin_core_win32 OBJECT
    ${TARVELIN_CORE_SOURCES}
    app/globals_win32.cpp
    app/module_path_win32.cpp
    image/file_io_win32.cpp
    serial/port_win32.cpp
)
target_include_directories(tarvelin_core_win32 PUBLIC ${TARVELIN_INCLUDE})
target_compile_definitions(tarvelin_core_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN)

add_library(tarvelin_shell STATIC
    $<TARGET_OBJECTS:tarvelin_core_win32>
    app/resource_text_win32.cpp
    app/open_file_dialog.cpp
    app/writer_dialog.cpp
    app/worker_thread_win32.cpp
)
target_include_directories(tarvelin_shell PUBLIC ${TARVELIN_INCLUDE})
target_compile_definitions(tarvelin_shell PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
target_link_libraries(tarvelin_shell PUBLIC comctl32 comdlg32)

# The resources, as a library of their own so that the tests link them too.
add_library(tarvelin_resources OBJECT ${TARVELIN_RC})

add_executable(tarvelin WIN32 app/winmain_win32.cpp app/ui_win32.cpp $<TARGET_OBJECTS:tarvelin_resources>)
target_link_libraries(tarvelin PRIVATE tarvelin_shell)
target_link_options(tarvelin PRIVATE -municode)

# The console program: texts from the compiled table, in either language.
add_executable(tarvelin-cli ${TARVELIN_CLI_SOURCES} $<TARGET_OBJECTS:tarvelin_core_win32>
    cli/console_win32.cpp cli/virtual_board_win32.cpp cli/main_win32.cpp)
target_include_directories(tarvelin-cli PRIVATE ${TARVELIN_INCLUDE})
target_compile_definitions(tarvelin-cli PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
target_link_options(tarvelin-cli PRIVATE -municode)
add_custom_command(TARGET tarvelin-cli POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/examples/write.mot $<TARGET_FILE_DIR:tarvelin-cli>/write.mot)
