# The Debian package: what `cmake --install` puts under /usr (configure with
# CMAKE_INSTALL_PREFIX=/usr), made by `cpack -G DEB`; scripts/package.sh does both.
# The run-time dependencies are read from the binaries by dpkg-shlibdeps. The package
# ships no maintainer scripts: the desktop's caches (menu entries, file types, icons and
# manual pages) are rebuilt by the file triggers of the packages that own them, which
# fire when our files land in their folders.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brellow)
set(CPACK_PACKAGE_VENDOR Korvell)
set(CPACK_PACKAGE_CONTACT "Korvell <brellow@korvell.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Installed through DESTDIR, so that the install leaves the caches to the triggers.
set(CPACK_SET_DESTDIR ON)

# The summary and the home page are those the software centres show.
set(metainfo ${PROJECT_SOURCE_DIR}/data/com.korvell.Brellow.metainfo.xml)
file(STRINGS ${metainfo} summary REGEX "<summary>")
string(REGEX REPLACE ".*<summary>(.*)</summary>.*" "\\1" CPACK_PACKAGE_DESCRIPTION_SUMMARY
       "${summary}")
file(STRINGS ${metainfo} homepage REGEX "<url type=\"homepage\">")
string(REGEX REPLACE ".*<url type=\"homepage\">(.*)</url>.*" "\\1" CPACK_DEBIAN_PACKAGE_HOMEPAGE
       "${homepage}")
set(CPACK_PACKAGE_DESCRIPTION [[
Brellow is a loan calculator for the desktop. Describe a loan by its amount,
number of periods, annual rate, first payment date, payment and compounding
periods, an optional additional payment per period and an optional balloon
payoff, and Brellow computes the rate per payment period, the level payment and
the full amortization schedule, exact to the cent. It exports the schedule as
text, HTML or CSV, prints it, charts interest against principal and advises on
refinancing.

brellow-cli computes the same loans from scripts, also as JSON.]])

# Debian wants compressed manual pages, the licence as the copyright file and a
# changelog in /usr/share/doc/brellow.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianDocs.cmake)
set(CPACK_BRELLOW_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_BRELLOW_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/changelog)
include(CPack)
