# The -posix variants: the -win32 thread model lacks std::thread and std::mutex.
set(CMAKE_C_COMPILER ${TARVELIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVELIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVELIN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARVELIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One self-contained .exe: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
