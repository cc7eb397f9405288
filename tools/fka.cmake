# fka: packs, lists and extracts sound archives. It is built on the archive library and the
# random generator alone, so it needs neither Qt nor the rest of the game, and the asset build
# uses it to pack Tovira.fka.
add_executable(fka ${CMAKE_CURRENT_LIST_DIR}/fka.cpp)
target_link_libraries(fka PRIVATE toviraarchive tovirarandom tovira_warnings)
set_target_properties(fka PROPERTIES AUTOMOC OFF RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
