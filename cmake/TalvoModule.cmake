# One static library per subsystem folder. Sources are picked up by glob so a
# new class needs no edit here; the folder's own CMakeLists may add more.
set_property(GLOBAL PROPERTY TALVO_MODULES "")

function(talvo_add_module name)
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  # Only the folder's own main/ (the program's entry) is left out; the
  # checkout itself may well lie below a folder named "main".
  set(_kept "")
  foreach(_f ${_src})
    string(FIND "${_f}" "${CMAKE_CURRENT_SOURCE_DIR}/main/" _at)
    if(NOT _at EQUAL 0)
      list(APPEND _kept "${_f}")
    endif()
  endforeach()
  set(_src ${_kept})
  if(NOT _src)
    return()
  endif()
  add_library(talvo_${name} STATIC ${_src})
  target_include_directories(talvo_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(talvo_${name} PUBLIC Qt5::Core Qt5::Gui Qt5::Widgets Qt5::Xml HIDUsb)
  target_compile_options(talvo_${name} PRIVATE -Wall -Wextra)
  set_property(GLOBAL APPEND PROPERTY TALVO_MODULES talvo_${name})
endfunction()

# The subsystems call each other both ways (the core starts pages, pages call
# the core), so executables link them as one rescanned group.
function(talvo_link_app target)
  get_property(_mods GLOBAL PROPERTY TALVO_MODULES)
  string(REPLACE ";" "," _group "${_mods}")
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  if(_mods)
    target_link_libraries(${target} PRIVATE "$<LINK_GROUP:RESCAN,${_group}>")
  endif()
  target_link_libraries(${target} PRIVATE Qt5::Core Qt5::Gui Qt5::Widgets Qt5::Xml HIDUsb)
endfunction()
