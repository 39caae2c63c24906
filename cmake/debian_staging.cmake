# Run by CPack on its staging tree before it packs a .deb: compresses every man page the way
# Debian does, and adds what Debian asks of every package's documentation folder, the
# copyright in its machine-readable form and the changelog. Other packages are left as they are.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(gzip_program gzip REQUIRED)
file(GLOB_RECURSE man_pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
if(NOT man_pages)
  message(FATAL_ERROR "No man page to compress under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
# gzip -9n: no name, no time stamp, so that the package is reproducible.
foreach(page IN LISTS man_pages)
  execute_process(COMMAND ${gzip_program} -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(doc_folder "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc_folder}")
# The licence text goes in as the copyright format wants it: each line indented by one space,
# an empty line as " .".
file(STRINGS "${CPACK_KORVASTER_SOURCE_DIR}/LICENSE" licence_lines)
list(REMOVE_AT licence_lines 0 1 2)
set(licence "")
foreach(line IN LISTS licence_lines)
  if(line STREQUAL "")
    string(APPEND licence " .\n")
  else()
    string(APPEND licence " ${line}\n")
  endif()
endforeach()
file(WRITE "${doc_folder}/copyright"
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: ${CPACK_PACKAGE_NAME}\n"
  "Source: ${CPACK_KORVASTER_HOMEPAGE}\n\n"
  "Files: *\n"
  "Copyright: 2026 korvaster maintainers\n"
  "License: MIT\n${licence}")
# A package whose version has no Debian revision is native: its changelog is changelog.gz.
configure_file("${CPACK_KORVASTER_SOURCE_DIR}/packaging/debian/changelog" "${doc_folder}/changelog" COPYONLY)
execute_process(COMMAND ${gzip_program} -9nf "${doc_folder}/changelog" COMMAND_ERROR_IS_FATAL ANY)
