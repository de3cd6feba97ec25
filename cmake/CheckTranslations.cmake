# Runs lupdate on a copy of each .ts file and fails when the sources hold a text without
# a finished translation, or the file holds one for a text the sources no longer have.
# Called by CTest with -DLUPDATE=<lupdate> -DTS=<.ts files> -DSOURCES=<folders> -DWORK=<folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failed FALSE)
foreach(ts ${TS})
    get_filename_component(name ${ts} NAME)
    file(COPY ${ts} DESTINATION ${WORK})
    execute_process(COMMAND ${LUPDATE} -silent -locations none -no-ui-lines ${SOURCES} -ts ${WORK}/${name}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(SEND_ERROR "lupdate failed on ${name}")
    endif()
    file(READ ${WORK}/${name} content)
    # One message per match: its source text and why it does not count.
    string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*(<comment>[^<]*</comment>[ \n]*)?<translation type=\"(unfinished|vanished|obsolete)\""
           open "${content}")
    foreach(entry ${open})
        string(REGEX REPLACE "^<source>([^<]*)</source>.*type=\"([a-z]+)\"$" "\\2: \\1" entry "${entry}")
        message("${name}: ${entry}")
        set(failed TRUE)
    endforeach()
endforeach()
if(failed)
    message(FATAL_ERROR "Translations are incomplete; run the update_translations target and translate the texts above.")
endif()
