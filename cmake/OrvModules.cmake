# orv_add_module(<target> FOLDERS <dir>... [NONRECURSIVE] [DEPS <targets>...] [QT <targets>...])
# Builds a static library from every .cpp/.h of the folders (a folder's private/
# subfolder included). Sources are globbed so that adding a file needs no edit here.
function(orv_add_module target)
  cmake_parse_arguments(M "NONRECURSIVE" "" "FOLDERS;DEPS;QT" ${ARGN})
  set(sources)
  foreach(folder IN LISTS M_FOLDERS)
    if(M_NONRECURSIVE)
      file(GLOB found CONFIGURE_DEPENDS
           ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h
           ${PROJECT_SOURCE_DIR}/${folder}/private/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/private/*.h)
    else()
      file(GLOB_RECURSE found CONFIGURE_DEPENDS
           ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    endif()
    file(GLOB_RECURSE qrc CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.qrc)
    list(APPEND sources ${found} ${qrc})
  endforeach()
  if(NOT sources)
    # An empty module still has to exist so that others can link it.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
    file(WRITE ${stub} "// intentionally empty\n")
    list(APPEND sources ${stub})
  endif()
  add_library(${target} STATIC ${sources})
  # Headers are included by their folder ("listview/TOrvListView.h") in the source tree and in an
  # installed tree alike.
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/orvlistview>)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_link_libraries(${target} PUBLIC ${M_DEPS} ${M_QT} Qt6::Core Qt6::Gui)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  orv_use_pch(${target})
endfunction()

# The same small set of heavy, stable headers is precompiled for every target.
function(orv_use_pch target)
  target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/orv_pch.h)
endfunction()
