# Translations: the .ts files under translations/ are the sources, kept in the repository;
# the build compiles them to .qm files and carries them as resources.

find_package(Qt5LinguistTools 5.15 REQUIRED)

# "cmake --build build --target update_translations" refreshes every .ts file from the
# sources it covers; a translator then fills in what is new.
add_custom_target(update_translations)

# kt_add_translations(<name> PREFIX <resource folder> TARGETS <targets...>
#                     TS <.ts files...> SOURCES <folders...>)
# Compiles the .ts files into the resource folder of each target (for example
# :/translations/<name>_de.qm), adds <name>_update_translations and the test
# <name>_translations_complete, which fails while a text of SOURCES lacks a
# translation or a translated text no longer exists.
function(kt_add_translations name)
    cmake_parse_arguments(T "" "PREFIX" "TARGETS;TS;SOURCES" ${ARGN})
    set(qm_dir ${CMAKE_CURRENT_BINARY_DIR}/${name}_qm)
    set_source_files_properties(${T_TS} PROPERTIES OUTPUT_LOCATION ${qm_dir})
    qt5_add_translation(qm_files ${T_TS})

    set(qrc ${CMAKE_CURRENT_BINARY_DIR}/${name}_translations.qrc)
    set(entries "")
    foreach(qm ${qm_files})
        get_filename_component(alias ${qm} NAME)
        string(APPEND entries "        <file alias=\"${alias}\">${qm}</file>\n")
    endforeach()
    file(WRITE ${qrc}.in "<RCC>\n    <qresource prefix=\"${T_PREFIX}\">\n${entries}    </qresource>\n</RCC>\n")
    configure_file(${qrc}.in ${qrc} COPYONLY)
    qt5_add_resources(rcc_sources ${qrc})
    # One object for all targets, so that parallel builds never write the same file twice.
    add_library(${name}_translations OBJECT ${rcc_sources})
    set_target_properties(${name}_translations PROPERTIES POSITION_INDEPENDENT_CODE ON AUTORCC OFF)
    target_link_libraries(${name}_translations PRIVATE Qt5::Core)
    foreach(target ${T_TARGETS})
        target_sources(${target} PRIVATE $<TARGET_OBJECTS:${name}_translations>)
    endforeach()

    set(lupdate_options -silent -locations none -no-ui-lines ${T_SOURCES})
    add_custom_target(${name}_update_translations
        COMMAND Qt5::lupdate ${lupdate_options} -no-obsolete -ts ${T_TS}
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        VERBATIM)
    add_dependencies(update_translations ${name}_update_translations)

    add_test(NAME ${name}_translations_complete
        COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:Qt5::lupdate> "-DTS=${T_TS}"
                "-DSOURCES=${T_SOURCES}" -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${name}_lupdate_check
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckTranslations.cmake
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endfunction()
