# The picture-mask matcher library; included by the main build and by the fuzz build.
add_library(picture STATIC ${CMAKE_CURRENT_LIST_DIR}/PictureValidator.cpp)
target_include_directories(picture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
