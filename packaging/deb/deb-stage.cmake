# Run by CPack on the staged tree before it packs the .deb: what Debian asks of a binary
# package beyond the install rules. The man pages compressed, the copyright file with
# every data licence, the changelog in Debian's form.
set(root "${CPACK_TEMPORARY_DIRECTORY}")
if(NOT IS_DIRECTORY "${root}/usr/lib/nalo-weather")
  message(FATAL_ERROR "deb-stage: no staged program folder in ${root}")
endif()
set(doc "${root}/usr/share/doc/nalo-weather")

# gzip -n: no name or time stamp inside, so the same tree packs to the same bytes.
file(GLOB pages "${root}/usr/share/man/man1/*.1")
foreach(page ${pages})
  execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "deb-stage: cannot compress ${page}")
  endif()
endforeach()

file(COPY "${CPACK_NALO_SOURCE_DIR}/packaging/deb/copyright" DESTINATION "${doc}")

set(ENV{SOURCE_DATE_EPOCH} "${CPACK_NALO_RELEASE_EPOCH}")
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${doc}/changelog"
  "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
  "  * Release ${CPACK_PACKAGE_VERSION}: see /usr/share/doc/nalo-weather/CHANGELOG.md.\n\n"
  " -- ${CPACK_PACKAGE_CONTACT}  ${date}\n")
execute_process(COMMAND gzip -9nf "${doc}/changelog" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "deb-stage: cannot compress the changelog")
endif()
