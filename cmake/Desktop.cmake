# The program as a desktop application: its icon built in, and on Linux the menu entry, the hicolor icons,
# the AppStream metainfo, the manual page, and the tests of these.

# One reverse-DNS id names the desktop entry, the metainfo, the icon and the Wayland app id (src/app/main.cpp).
set(TIDEWELL_APP_ID io.github.tidewell.Tidewell)
# The release of PROJECT_VERSION, for the metainfo and the manual page.
set(TIDEWELL_RELEASE_DATE 2026-12-07)

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
target_sources(tidewell PRIVATE ${TIDEWELL_ICON_DIR}/icons.qrc)
set_target_properties(tidewell PROPERTIES AUTORCC ON)
if(WIN32)
    return()
endif()

include(GNUInstallDirs)
set(TIDEWELL_DESKTOP_OUT ${PROJECT_BINARY_DIR}/desktop)
configure_file(${TIDEWELL_DESKTOP_DIR}/${TIDEWELL_APP_ID}.metainfo.xml.in
    ${TIDEWELL_DESKTOP_OUT}/${TIDEWELL_APP_ID}.metainfo.xml @ONLY)
configure_file(${TIDEWELL_DESKTOP_DIR}/tidewell.1.in ${TIDEWELL_DESKTOP_OUT}/tidewell.1 @ONLY)
# Debian ships manual pages compressed; -n keeps the time stamp out, so builds compare equal.
add_custom_command(OUTPUT ${TIDEWELL_DESKTOP_OUT}/tidewell.1.gz
    COMMAND gzip -9nkf tidewell.1
    DEPENDS ${TIDEWELL_DESKTOP_OUT}/tidewell.1
    WORKING_DIRECTORY ${TIDEWELL_DESKTOP_OUT})
add_custom_target(tidewell_desktop_files ALL DEPENDS ${TIDEWELL_DESKTOP_OUT}/tidewell.1.gz)

install(FILES ${TIDEWELL_DESKTOP_DIR}/${TIDEWELL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TIDEWELL_DESKTOP_OUT}/${TIDEWELL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${TIDEWELL_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${TIDEWELL_DESKTOP_OUT}/tidewell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(BUILD_TESTING)
    set(tests ${PROJECT_SOURCE_DIR}/tests/desktop)
    add_test(NAME DesktopEntry
        COMMAND ${tests}/desktop-entry.sh ${TIDEWELL_DESKTOP_DIR}/${TIDEWELL_APP_ID}.desktop)
    add_test(NAME AppStreamMetainfo
        COMMAND ${tests}/metainfo.sh ${TIDEWELL_DESKTOP_OUT}/${TIDEWELL_APP_ID}.metainfo.xml)
    add_test(NAME ManPageMatchesHelp
        COMMAND ${tests}/manpage.sh $<TARGET_FILE:tidewell> ${TIDEWELL_DESKTOP_OUT}/tidewell.1)
    set_tests_properties(DesktopEntry AppStreamMetainfo ManPageMatchesHelp PROPERTIES SKIP_RETURN_CODE 77)
endif()
