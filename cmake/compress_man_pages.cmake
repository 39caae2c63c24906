# Run by CPack on its staging tree before it packs: compresses every man page the way Debian
# does. Packages other than .deb are left as they are.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(gzip_program gzip REQUIRED)
file(GLOB_RECURSE man_pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
if(NOT man_pages)
  message(FATAL_ERROR "No man page to compress under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(page IN LISTS man_pages)
  execute_process(COMMAND ${gzip_program} -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
