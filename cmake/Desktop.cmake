# The program as a desktop application: its icon built in.

# One reverse-DNS id names the desktop entry, the metainfo, the icon and the Wayland app id (src/app/main.cpp).
set(TIDEWELL_APP_ID io.github.tidewell.Tidewell)

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
