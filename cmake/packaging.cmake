# The Debian package: `cpack -G DEB` in a build folder packs what `cmake --install` puts under
# /usr, with Depends worked out from the binary's shared libraries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME korvaster)
set(CPACK_PACKAGE_VENDOR korvaster)
set(CPACK_PACKAGE_CONTACT "korvaster maintainers <korvaster@example.org>")
# Debian wants the synopsis under 80 characters with the package name before it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "accessibility identifiers for Xcode Interface Builder files")
set(CPACK_PACKAGE_INSTALL_DIRECTORY korvaster)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The synopsis is the summary above; this is the long part, which CPack indents for dpkg.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "korvaster copies an Xcode project for iOS or tvOS (leaving .git, .svn and .hg
behind) and gives every view in the copy's .xib and .storyboard files an
accessibility identifier taken from the view's own Xcode object id, so that UI
tests can find it. check, fix and ids report on or repair the identifiers of a
project where it lies; on a Mac, build drives xcodebuild to archive the copy
and export an .ipa.")

set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/OWNER/korvaster)

# Debian ships man pages compressed and wants a copyright and a changelog beside them; the plain
# install keeps the page as it is and installs neither.
set(CPACK_KORVASTER_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_KORVASTER_HOMEPAGE ${CPACK_DEBIAN_PACKAGE_HOMEPAGE})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_staging.cmake)

include(CPack)
