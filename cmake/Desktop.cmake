# The program as a desktop application: its icon built in, and on Linux the menu entry, the hicolor icons,
# the AppStream metainfo, the manual page, a Debian package made with CPack, and the tests of all these.

# One reverse-DNS id names the desktop entry, the metainfo, the icon and the Wayland app id (src/app/main.cpp).
set(TIDEWELL_APP_ID io.github.tidewell.Tidewell)
# The release of PROJECT_VERSION, for the metainfo, the manual page and the package's changelog.
set(TIDEWELL_RELEASE_DATE 2026-12-07)
set(TIDEWELL_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 12:00:00 +0000")
set(TIDEWELL_MAINTAINER "The Tidewell developers <tidewell@users.noreply.github.com>"
    CACHE STRING "The Debian package's maintainer")

set(TIDEWELL_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/data/desktop)
set(TIDEWELL_ICON_DIR ${PROJECT_SOURCE_DIR}/data/icons)

if(WIN32)
    enable_language(RC)
    if(TARGET tidewell)
        target_sources(tidewell PRIVATE ${TIDEWELL_ICON_DIR}/tidewell.rc)
    else()
        # The core-only build has no program to carry the icon; compiling it still checks the resource.
        add_library(tidewell_icon_resource OBJECT ${TIDEWELL_ICON_DIR}/tidewell.rc)
    endif()
endif()

if(NOT TARGET tidewell)
    return()
endif()
# The window's icon goes with the window, which is a part of its own where the program loads it.
if(TARGET tidewell_window)
    set(TIDEWELL_WINDOW_TARGET tidewell_window)
else()
    set(TIDEWELL_WINDOW_TARGET tidewell)
endif()
target_sources(${TIDEWELL_WINDOW_TARGET} PRIVATE ${TIDEWELL_ICON_DIR}/icons.qrc)
set_target_properties(${TIDEWELL_WINDOW_TARGET} PROPERTIES AUTORCC ON)
if(WIN32)
    return()
endif()

include(GNUInstallDirs)
set(TIDEWELL_DESKTOP_OUT ${PROJECT_BINARY_DIR}/desktop)
configure_file(${TIDEWELL_DESKTOP_DIR}/${TIDEWELL_APP_ID}.metainfo.xml.in
    ${TIDEWELL_DESKTOP_OUT}/${TIDEWELL_APP_ID}.metainfo.xml @ONLY)
configure_file(${TIDEWELL_DESKTOP_DIR}/tidewell.1.in ${TIDEWELL_DESKTOP_OUT}/tidewell.1 @ONLY)
configure_file(${TIDEWELL_DESKTOP_DIR}/changelog.in ${TIDEWELL_DESKTOP_OUT}/changelog @ONLY)
# Debian ships manual pages and changelogs compressed; -n keeps the time stamp out, so builds compare equal.
foreach(file tidewell.1 changelog)
    add_custom_command(OUTPUT ${TIDEWELL_DESKTOP_OUT}/${file}.gz
        COMMAND gzip -9nkf ${file}
        DEPENDS ${TIDEWELL_DESKTOP_OUT}/${file}
        WORKING_DIRECTORY ${TIDEWELL_DESKTOP_OUT})
endforeach()
add_custom_target(tidewell_desktop_files ALL
    DEPENDS ${TIDEWELL_DESKTOP_OUT}/tidewell.1.gz ${TIDEWELL_DESKTOP_OUT}/changelog.gz)

install(FILES ${TIDEWELL_DESKTOP_DIR}/${TIDEWELL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TIDEWELL_DESKTOP_OUT}/${TIDEWELL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${TIDEWELL_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${TIDEWELL_DESKTOP_OUT}/tidewell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TIDEWELL_DESKTOP_DIR}/copyright ${TIDEWELL_DESKTOP_OUT}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tidewell)

# cpack --config CPackConfig.cmake in the build folder makes tidewell_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewell)
set(CPACK_PACKAGE_VENDOR "The Tidewell developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "uninstall manager for Windows programs in Wine prefixes")
# Lines as the control file shows them: Debian wants them under 80 characters; an empty one parts paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tidewell lists the programs registered in a Windows registry with their"
    "icons and usage data, runs an uninstaller and checks that the program's"
    "entry is gone, deletes stale entries, creates and edits entries, keeps an"
    "uninstall log and writes an audit report."
    ""
    "On Linux it works on a Wine prefix: it reads the prefix's registry file"
    "directly and runs the uninstallers through Wine. A demo registry shows"
    "what it does without one.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TIDEWELL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TIDEWELL_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Tidewell reads a prefix without Wine; only running an uninstaller needs it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(BUILD_TESTING)
    set(tests ${PROJECT_SOURCE_DIR}/tests/desktop)
    add_test(NAME DesktopEntry
        COMMAND ${tests}/desktop-entry.sh ${TIDEWELL_DESKTOP_DIR}/${TIDEWELL_APP_ID}.desktop)
    add_test(NAME AppStreamMetainfo
        COMMAND ${tests}/metainfo.sh ${TIDEWELL_DESKTOP_OUT}/${TIDEWELL_APP_ID}.metainfo.xml)
    add_test(NAME ManPageMatchesHelp
        COMMAND ${tests}/manpage.sh $<TARGET_FILE:tidewell> ${TIDEWELL_DESKTOP_OUT}/tidewell.1)
    set_tests_properties(DesktopEntry AppStreamMetainfo ManPageMatchesHelp PROPERTIES SKIP_RETURN_CODE 77)
    option(TIDEWELL_PACKAGE_TEST "Test the package by installing it into this machine (runs only as root)" ON)
    if(TIDEWELL_PACKAGE_TEST)
        add_test(NAME PackageInstall
            COMMAND ${tests}/package-install.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION} ${TIDEWELL_APP_ID})
        set_tests_properties(PackageInstall PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
    endif()
endif()
