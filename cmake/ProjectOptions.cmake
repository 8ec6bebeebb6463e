# Warnings for the project's own targets, and the sanitizer switch. Warnings become errors
# only when asked (the test command does): another compiler or optimisation level may warn
# where ours did not, and a user's build must not fail on that.
option(ZC_WERROR "Treat warnings as errors" OFF)

if(ZC_SANITIZE)
    # Line tables (-g1) are all a sanitizer's report needs, at a fifth less compile time.
    add_compile_options(-fsanitize=${ZC_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all
        -g1)
    add_link_options(-fsanitize=${ZC_SANITIZE})
endif()

# For C++ only: the Windows resource compiler takes none of these.
function(zc_warnings target)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic
        -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wnull-dereference
        $<$<BOOL:${ZC_WERROR}>:-Werror>>)
endfunction()

# zc_library(name SOURCES... DEPS ...): one module library with its folder as include root.
function(zc_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_INCLUDES" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/.. ${ARG_PUBLIC_INCLUDES})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    zc_warnings(${name})
endfunction()

# Pictures and catalogues are looked for beside the running program only: res/ and locale/
# are linked (copied on Windows) beside the target's file after each build.
function(zc_place_res target)
    if(WIN32)
        set(place ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/res
            $<TARGET_FILE_DIR:${target}>/res)
        set(locale ${CMAKE_COMMAND} -E copy_directory ${CMAKE_BINARY_DIR}/locale
            $<TARGET_FILE_DIR:${target}>/locale)
    else()
        set(place ln -sfn ${PROJECT_SOURCE_DIR}/res $<TARGET_FILE_DIR:${target}>/res)
        set(locale ln -sfn ${CMAKE_BINARY_DIR}/locale $<TARGET_FILE_DIR:${target}>/locale)
    endif()
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${place} COMMAND ${locale} VERBATIM)
    # The compiled catalogues lie beside the pictures.
    add_dependencies(${target} catalogues)
endfunction()
