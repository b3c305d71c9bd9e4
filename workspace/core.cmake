# Record layout, dates and the reader: what the rules and the fuzz targets need. Included by the
# main build and by the reader's fuzz build.
add_library(certlayout STATIC ${CMAKE_CURRENT_LIST_DIR}/CertLayout.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/CertScan.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/CertDate.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/Cp1252.cpp)
target_include_directories(certlayout PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(certlayout PUBLIC certfiles)

# Reading a certificate file's bytes into a header and normalised detail lines.
add_library(certreader STATIC ${CMAKE_CURRENT_LIST_DIR}/CertReader.cpp)
target_link_libraries(certreader PUBLIC certlayout)
