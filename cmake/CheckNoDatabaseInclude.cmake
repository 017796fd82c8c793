# cmake -DFOLDER=<folder> -DSTAMP=<file> -P CheckNoDatabaseInclude.cmake
#
# Fails when a header or source under FOLDER includes platform/database/:
# the windows reach the data through src/domain only. Touches STAMP when the
# folder is clean, so the check runs again only when one of its files changes.
if(NOT IS_DIRECTORY "${FOLDER}")
  message(FATAL_ERROR "CheckNoDatabaseInclude: no folder ${FOLDER}")
endif()
file(GLOB_RECURSE files "${FOLDER}/*.h" "${FOLDER}/*.cpp")
set(found "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]platform/database/")
  foreach(line IN LISTS lines)
    string(APPEND found "\n  ${file}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "A window folder includes the database layer; "
                      "read and write through src/domain instead:${found}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
