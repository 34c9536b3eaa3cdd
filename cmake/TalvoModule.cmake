# One static library per source folder, its files listed in the folder's own
# CMakeLists.txt. The links name the layer below only, so the target graph
# runs one way:
#   HIDUsb <- core <- shellcommon <- dialogs <- pairing <- pages <- shell <- program
# and an include that reaches upward fails to link instead of passing unseen.
#
#   talvo_add_module(<name> SOURCES <files...> LINK <targets...>)
function(talvo_add_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(talvo_${name} STATIC ${ARG_SOURCES})
  target_include_directories(talvo_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(talvo_${name} PUBLIC ${ARG_LINK})
  target_compile_options(talvo_${name} PRIVATE -Wall -Wextra)
endfunction()
