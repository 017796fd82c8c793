# corvessa_folder_library(<target> <folder>
#                         [HEADERS <header>...]
#                         [ALSO <path>...]
#                         SOURCES <source>...
#                         [PUBLIC <target>...] [PRIVATE <target>...])
#
# One folder of src/ (or part of one) as a static library with an include root
# of its own: ${CMAKE_BINARY_DIR}/include_roots/<target> holds <folder> as a
# link to src/<folder>, and that root is the library's PUBLIC include
# directory. So "#include \"<folder>/X.h\"" resolves only for the targets that
# link the library, and an include of a folder that a target does not link
# fails to build. With HEADERS, the root holds only those headers of the
# folder, for a folder shared by two libraries. ALSO adds single headers of
# another folder by their path under src/ (a header-only part of the layer
# above, within the same platform layer).
#
# A folder named in CORVESSA_WINDOW_FOLDERS fails to build while one of its files
# includes platform/database/ (cmake/CheckNoDatabaseInclude.cmake, run before
# the library compiles and again whenever a file of the folder changes).
function(corvessa_folder_library target folder)
  cmake_parse_arguments(ARG "" "" "HEADERS;ALSO;SOURCES;PUBLIC;PRIVATE" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
  set(source_folder ${CMAKE_SOURCE_DIR}/src/${folder})
  if(NOT IS_DIRECTORY ${source_folder})
    message(FATAL_ERROR "corvessa_folder_library(${target}): no folder src/${folder}")
  endif()
  # Made afresh at every configure, so a header dropped from HEADERS (or a
  # folder renamed) leaves nothing reachable behind.
  file(REMOVE_RECURSE ${root})
  if(ARG_HEADERS)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header IN LISTS ARG_HEADERS)
      if(NOT EXISTS ${source_folder}/${header})
        message(FATAL_ERROR "corvessa_folder_library(${target}): no header src/${folder}/${header}")
      endif()
      get_filename_component(header_dir ${root}/${folder}/${header} DIRECTORY)
      file(MAKE_DIRECTORY ${header_dir})
      file(CREATE_LINK ${source_folder}/${header} ${root}/${folder}/${header} SYMBOLIC)
    endforeach()
  else()
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source_folder} ${root}/${folder} SYMBOLIC)
  endif()
  foreach(path IN LISTS ARG_ALSO)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/src/${path})
      message(FATAL_ERROR "corvessa_folder_library(${target}): no header src/${path}")
    endif()
    get_filename_component(path_dir ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${path_dir})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${path} ${root}/${path} SYMBOLIC)
  endforeach()

  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  if(folder IN_LIST CORVESSA_WINDOW_FOLDERS)
    file(GLOB_RECURSE folder_files CONFIGURE_DEPENDS ${source_folder}/*.h ${source_folder}/*.cpp)
    set(script ${CMAKE_SOURCE_DIR}/cmake/CheckNoDatabaseInclude.cmake)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.no_database_include)
    add_custom_command(OUTPUT ${stamp}
                       COMMAND ${CMAKE_COMMAND} -DFOLDER=${source_folder} -DSTAMP=${stamp} -P ${script}
                       DEPENDS ${script} ${folder_files}
                       COMMENT "Checking that src/${folder} does not include the database layer"
                       VERBATIM)
    target_sources(${target} PRIVATE ${stamp})
  endif()
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()
