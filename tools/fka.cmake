# fka: packs, lists and extracts sound archives. It is built on the archive component alone, so
# it needs neither Qt nor the rest of the game, and the asset build uses it to pack Tovira.fka.
add_library(toviraarchive STATIC
    ${CMAKE_SOURCE_DIR}/sound/Archive.cpp
    ${CMAKE_SOURCE_DIR}/sound/ArchiveBuffer.cpp
    ${CMAKE_SOURCE_DIR}/sound/Blowfish.cpp
    ${CMAKE_SOURCE_DIR}/app/Random.cpp)
target_include_directories(toviraarchive PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(toviraarchive PUBLIC ZLIB::ZLIB)
set_target_properties(toviraarchive PROPERTIES AUTOMOC OFF)

add_executable(fka ${CMAKE_CURRENT_LIST_DIR}/fka.cpp)
target_link_libraries(fka PRIVATE toviraarchive)
set_target_properties(fka PROPERTIES AUTOMOC OFF RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
