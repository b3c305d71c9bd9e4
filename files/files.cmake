# The file layer: the one place that calls the operating system's file and clock functions.
# Included by the main build and by the fuzz builds.
add_library(certfiles STATIC ${CMAKE_CURRENT_LIST_DIR}/FileSystem.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/ReplacingWriter.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/PosixFileSystem.cpp)
target_include_directories(certfiles PUBLIC ${CMAKE_CURRENT_LIST_DIR})
