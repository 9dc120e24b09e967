# The Debian package nalo-weather, built by CPack's DEB generator from the install rules
# (`cmake --build build --target package`, or scripts/package): the same files
# `cmake --install` puts below /usr, plus what Debian asks of a binary package (copyright,
# changelog, compressed man pages; see deb-stage.cmake). Depends comes from the shared
# libraries the binaries link (dpkg-shlibdeps) and the fonts the skins name.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nalo-weather)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The NALO Weather authors")
set(CPACK_PACKAGE_CONTACT "The NALO Weather authors <nalo-weather@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/nalo-weather/nalo-weather)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
# The spoken forecast goes through speech-dispatcher, else espeak-ng; neither is needed to run.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils, speech-dispatcher | espeak-ng")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weather forecasts for handheld-sized screens")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Weather shows the current condition and five days for up to ten cities, one
page per city, drawn by its own skin engine on a handheld-sized screen, in a
window or on the whole display without a desktop. The city search knows every
city of 15,000 people or more (GeoNames).
.
Forecasts come from forecastd, a small local service that asks Open-Meteo; a
systemd user socket starts it for every user on the first request. Ombrelo,
the daemon, fetches them for Weather.")
# A cross build names its target architecture (the toolchain file sets it).
if(NALO_DEB_ARCHITECTURE)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${NALO_DEB_ARCHITECTURE})
endif()

# The release date the changelog and the metainfo carry: the last commit's, so that a
# package built twice from one commit is the same.
execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  OUTPUT_VARIABLE release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_failed)
if(git_failed OR NOT release_epoch)
  string(TIMESTAMP release_epoch "%s" UTC)
endif()
set(CPACK_NALO_RELEASE_EPOCH ${release_epoch})
set(CPACK_NALO_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/deb/deb-stage.cmake)
include(CPack)
