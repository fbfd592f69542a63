# The Debian package (cpack -G DEB; tools/package.sh builds it). dpkg-shlibdeps finds the
# libraries the programs link; what they load or start at run time is listed here by hand.
set(CPACK_PACKAGE_NAME quorva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorva developers")
set(QUORVA_PACKAGE_CONTACT "The Quorva developers <quorva@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${QUORVA_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop viewer for relational databases, with printing")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorva opens SQLite and Access files, ODBC data sources, PostgreSQL servers and named
database aliases, lists their tables and fields, runs SQL into a data grid and prints the
grid as a table, to a CUPS printer, a PDF file or text. The grid can also be exported to a
spreadsheet workbook. A sample database is included to try it on.")
set(CPACK_STRIP_FILES ON)
# Installed under DESTDIR, so the install step that registers the spreadsheet server for the
# user running it leaves the packager's settings alone.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its SQL drivers as plugins; libqt6sql6-psql brings libpq, whose connection the
# PostgreSQL cursors reach. The print layouts are measured with the Liberation fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, libqt6sql6-odbc, fonts-liberation")
# Access files are read through mdbtools' libraries (found by dpkg-shlibdeps); its tools and
# ODBC driver serve ODBC data sources on Access files. libcups (found by dpkg-shlibdeps) prints
# through a CUPS server, the local one unless the user names another.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mdbtools, odbc-mdbtools, cups")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql")

# The machine's registration of the spreadsheet server is the administrator's to change, and
# kept over upgrades.
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "${QUORVA_MACHINE_REGISTRY_DIR}/registry.reg\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)

include(CPack)
