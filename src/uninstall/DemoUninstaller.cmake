# The demo's own uninstaller (see uninstall/DemoUninstaller.cpp), beside the program in a build tree
# and in libexec/tidewell in an install, where the demo registry's copy is pointed at it.
if(NOT WIN32)
    add_executable(tidewell-demo-uninstaller uninstall/DemoUninstaller.cpp)
    target_link_libraries(tidewell-demo-uninstaller PRIVATE tidewell_core)
    set_target_properties(tidewell-demo-uninstaller PROPERTIES AUTOMOC OFF)
    if(TARGET tidewell)
        add_dependencies(tidewell tidewell-demo-uninstaller)
        install(TARGETS tidewell-demo-uninstaller RUNTIME DESTINATION libexec/tidewell)
    endif()
endif()
