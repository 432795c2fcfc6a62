# The Debian package, made by CPack from the install rules:
#   cmake --build build --target package   ->   build/norvale_VERSION_ARCH.deb
# The desktop's MIME, icon, desktop-entry and manual-page caches are
# refreshed by the triggers of the Debian packages that own them, so the
# package has no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Norvale developers")
set(CPACK_PACKAGE_CONTACT "${NORVALE_MAINTAINER}")
# Staged with DESTDIR, so the install step leaves the caches of the
# building machine alone; the package installs under /usr whatever prefix
# the build was configured for.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print crossword puzzles and convert them to CrossBow files")
# The long description under the summary line; CPack indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Norvale prints crossword puzzles in the Across Lite .puz format and
converts them to the text format of CrossBow, a crossword program for
Palm handhelds. For every file of its list it prints the puzzle (grid
and clues, one puzzle a page), prints solution sheets (six solutions a
page) and writes the CrossBow file with an optional plain-text solution.
.
It runs as a desktop window or from the command line without one,
printing on a printer or into a PDF file. File managers show puzzle
files as pictures of their grids.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NORVALE_MAINTAINER}")
# The Qt libraries and the C++ runtime come from dpkg-shlibdeps; the pages
# are laid out with "Arial" metrics, which Liberation Sans provides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# Published clues hold symbols, emoji and CJK characters that Liberation
# Sans has no glyph for; these faces print them instead of empty boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-symbola, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
