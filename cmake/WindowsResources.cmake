# The Windows executables carry the program's icon and a version resource (product, version,
# what the file is), which Explorer, the task bar and the file's properties show.
if(WIN32)
    enable_language(RC)
endif()

# zc_windows_resources(target "description"): the icon and version resource for target's
# .exe; nothing on other systems.
function(zc_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(ZC_RC_NAME ${target})
    set(ZC_RC_DESCRIPTION "${description}")
    set(ZC_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/zundlecards.ico)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
        ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    # configure_file cannot see the icon: a redrawn icon must still relink the program.
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY
        OBJECT_DEPENDS ${ZC_RC_ICON})
endfunction()
