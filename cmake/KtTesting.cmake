# Shared build helpers: one Qt Test executable per test class, run headless by CTest.

# Adds each listed subdirectory that already has a CMakeLists.txt.
function(kt_add_subdirectories)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

# kt_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#             [TIMEOUT <seconds>] [DEPENDS <targets...>])
# Builds build/tests/<name> and registers it with CTest. Every test runs with the
# offscreen platform, the software Qt Quick backend and a private settings folder,
# so that no test ever touches the user's real settings or needs a display.
function(kt_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;DEPENDS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(T_DEPENDS)
        add_dependencies(${name} ${T_DEPENDS})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set(config_home ${CMAKE_BINARY_DIR}/test-home/${name})
    file(MAKE_DIRECTORY ${config_home})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;XDG_CONFIG_HOME=${config_home};KT_SOURCE_DIR=${CMAKE_SOURCE_DIR};KT_BINARY_DIR=${CMAKE_BINARY_DIR}")
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
