# The tools the build runs to make the program folder (the skin compiler, the picture
# merger, the city database writer) run on the build machine. A cross build cannot run
# its own, so it takes them from a native build of the same sources: NALO_HOST_BUILD names
# that build's folder (scripts/cross-arm64 makes it). Its own tools are still built, to be
# installed.
set(NALO_HOST_BUILD "" CACHE PATH "A native build whose tools a cross build runs")
if(NALO_HOST_BUILD)
  set(NALO_SKINC ${NALO_HOST_BUILD}/bin/skinc)
  set(NALO_HYBRID_PNG ${NALO_HOST_BUILD}/skins/hybrid-png)
  set(NALO_MAKE_CITYDB ${NALO_HOST_BUILD}/bin/make-citydb)
  foreach(tool ${NALO_SKINC} ${NALO_HYBRID_PNG} ${NALO_MAKE_CITYDB})
    if(NOT EXISTS ${tool})
      message(FATAL_ERROR "${tool} is missing: build the tools in ${NALO_HOST_BUILD} first")
    endif()
  endforeach()
elseif(CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "A cross build runs the build's tools from a native build: set NALO_HOST_BUILD")
else()
  set(NALO_SKINC $<TARGET_FILE:skinc>)
  set(NALO_HYBRID_PNG $<TARGET_FILE:hybrid-png>)
  set(NALO_MAKE_CITYDB $<TARGET_FILE:make-citydb>)
endif()
