# cmake -DROOT=<dir> -DHOMES=<a|b|...> -P ResetTestHomes.cmake
file(REMOVE_RECURSE ${ROOT})
string(REPLACE "|" ";" HOMES "${HOMES}")
foreach(home IN LISTS HOMES)
    file(MAKE_DIRECTORY ${home}/.config)
endforeach()
