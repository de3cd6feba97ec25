# Builds the Debian package with CPack and fails on any lintian error or warning; no
# override is honoured. Skipped (exit 77) only when the package cannot be built.
# cmake -DBINARY_DIR=<build> -DCPACK=<cpack> -DOUTPUT=<folder> -P packagePassesLintian.cmake
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${CPACK} -G DEB --config ${BINARY_DIR}/CPackConfig.cmake -B ${OUTPUT}
    RESULT_VARIABLE built OUTPUT_VARIABLE cpack_output ERROR_VARIABLE cpack_output)
file(GLOB package ${OUTPUT}/*.deb)
if(NOT built EQUAL 0 OR NOT package)
    message("${cpack_output}")
    message("SKIPPED: the package could not be built, so lintian had nothing to check")
    cmake_language(EXIT 77)
endif()

find_program(LINTIAN lintian)
if(NOT LINTIAN)
    message(FATAL_ERROR "lintian is not installed; ./dev.sh ci-setup installs it")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --no-override ${package}
    RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE lintian_errors)
message("${report}")
if(NOT result EQUAL 0 OR report MATCHES "(^|\n)[EW]: ")
    message(FATAL_ERROR "lintian found errors or warnings in ${package} (exit ${result}) ${lintian_errors}")
endif()
