# Shared build helpers: one Qt Test executable per test class, run headless by CTest.

# kt_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>]
#             [TIMEOUT <seconds>] [DEPENDS <targets...>] [ARGS <arguments...>])
# Builds build/tests/<name> and registers it with CTest (run with ARGS, for example a
# choice of test functions). Every test runs with the offscreen platform, the software
# Qt Quick backend and a private settings folder, so that no test ever touches the
# user's real settings or needs a display.
function(kt_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;DEPENDS;ARGS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(T_DEPENDS)
        add_dependencies(${name} ${T_DEPENDS})
    endif()
    kt_register_test(${name} ${name} TIMEOUT ${T_TIMEOUT} LABELS ${T_LABELS} ARGS ${T_ARGS})
endfunction()

# kt_register_test(<name> <executable> [LABELS <labels...>] [TIMEOUT <seconds>]
#                  [ARGS <arguments...>])
# Registers one more CTest run of a test executable that kt_add_test built, with the
# same private environment and a home of its own.
function(kt_register_test name executable)
    cmake_parse_arguments(T "" "TIMEOUT" "LABELS;ARGS" ${ARGN})
    add_test(NAME ${name} COMMAND ${executable} ${T_ARGS})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    # Sanitized builds run several times slower; the limit is there for hangs, not for speed.
    if(KT_SANITIZE)
        math(EXPR T_TIMEOUT "${T_TIMEOUT} * 3")
    endif()
    # A home of its own for each test: Qt's test mode keeps settings under $HOME/.qttest,
    # which would otherwise be shared between parallel tests and earlier runs.
    set(test_home ${CMAKE_BINARY_DIR}/test-home/${name})
    set_property(GLOBAL APPEND PROPERTY KT_TEST_HOMES ${test_home})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        FIXTURES_REQUIRED kt_test_homes
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;HOME=${test_home};XDG_CONFIG_HOME=${test_home}/.config;KT_SOURCE_DIR=${CMAKE_SOURCE_DIR};KT_BINARY_DIR=${CMAKE_BINARY_DIR}")
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# Call once after every test is added: empties the tests' homes before each CTest run,
# so that no run sees settings left behind by an earlier one.
function(kt_finalize_tests)
    get_property(homes GLOBAL PROPERTY KT_TEST_HOMES)
    string(REPLACE ";" "|" homes "${homes}")
    add_test(NAME kt_reset_test_homes
        COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_BINARY_DIR}/test-home "-DHOMES=${homes}"
                -P ${PROJECT_SOURCE_DIR}/cmake/ResetTestHomes.cmake)
    set_tests_properties(kt_reset_test_homes PROPERTIES FIXTURES_SETUP kt_test_homes)
endfunction()
