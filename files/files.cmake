# The file layer: the one place that calls the operating system's file and clock functions.
# Included by the main build and by the fuzz builds.
if(WIN32)
  set(cert_files_system ${CMAKE_CURRENT_LIST_DIR}/WindowsFileSystem.cpp)
else()
  set(cert_files_system ${CMAKE_CURRENT_LIST_DIR}/PosixFileSystem.cpp)
endif()
add_library(certfiles STATIC ${CMAKE_CURRENT_LIST_DIR}/FileSystem.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/ReplacingWriter.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/Utf16.cpp
                             ${CMAKE_CURRENT_LIST_DIR}/Utf8.cpp
                             ${cert_files_system})
target_include_directories(certfiles PUBLIC ${CMAKE_CURRENT_LIST_DIR})
if(WIN32)
  # SHGetKnownFolderPath, CommandLineToArgvW and CoTaskMemFree.
  target_link_libraries(certfiles PRIVATE shell32 ole32)
endif()
