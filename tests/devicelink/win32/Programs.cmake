# The programs the Windows suites run besides themselves: a stand-in transfer tool, and a
# sender that a Linux-side driver runs under wine against a pseudo-terminal mapped to a
# COM port of its own wine prefix.
function(zc_devicelink_win32_tests suite)
    set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    # Beside the suite, where it looks for it.
    add_executable(zc_tool_standin ${here}/ToolStandIn.cpp)
    target_compile_definitions(zc_tool_standin PRIVATE UNICODE _UNICODE)
    zc_warnings(zc_tool_standin)
    add_dependencies(${suite} zc_tool_standin)
    target_compile_definitions(${suite} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

    add_executable(zc_serial_sender ${here}/SerialSender.cpp)
    target_include_directories(zc_serial_sender PRIVATE ${here}/..)
    target_link_libraries(zc_serial_sender PRIVATE devicelink)
    zc_warnings(zc_serial_sender)

    find_package(Python3 COMPONENTS Interpreter)
    if(Python3_FOUND)
        # A prefix of its own: the driver maps COM ports in it.
        set(prefix ${CMAKE_BINARY_DIR}/wine-serial-prefix)
        add_test(NAME devicelink_serial_wine
            COMMAND ${Python3_EXECUTABLE} ${here}/serial_driver.py
                --sender $<TARGET_FILE:zc_serial_sender> --prefix ${prefix}
                --dlls "${ZC_WIN_DEPS}/bin")
        set_tests_properties(devicelink_serial_wine PROPERTIES LABELS "devicelink;wine"
            TIMEOUT 300)
    endif()
endfunction()
