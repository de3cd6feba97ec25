# Instrumented builds, each in a build folder of its own (see .ci/run):
#   -DKT_SANITIZE=address  AddressSanitizer with leak detection, and UndefinedBehaviorSanitizer
#   -DKT_SANITIZE=thread   ThreadSanitizer
#   -DKT_FUZZ=ON           (clang only) builds the fuzz targets in tests/fuzz as libFuzzer programs
# Every compiled file is instrumented, so that a fault in a library is caught where it happens.
set(KT_SANITIZE "" CACHE STRING "Sanitizers for the whole build: empty, address or thread")
set_property(CACHE KT_SANITIZE PROPERTY STRINGS "" address thread)
option(KT_FUZZ "Build the fuzz targets as libFuzzer programs (clang only)" OFF)

set(kt_sanitizer_flags)
if(KT_SANITIZE STREQUAL "address")
    set(kt_sanitizer_flags -fsanitize=address,undefined)
elseif(KT_SANITIZE STREQUAL "thread")
    set(kt_sanitizer_flags -fsanitize=thread)
    # Marks the handovers Qt makes with locks the checker cannot see (src/global/threadHandoff.h).
    add_compile_definitions(KT_THREAD_SANITIZER)
elseif(NOT KT_SANITIZE STREQUAL "")
    message(FATAL_ERROR "KT_SANITIZE must be empty, address or thread, not '${KT_SANITIZE}'")
endif()

if(KT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KT_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    # Coverage feedback for the fuzzer everywhere; the fuzzer's main is linked into the
    # fuzz targets only (tests/fuzz).
    list(APPEND kt_sanitizer_flags -fsanitize=fuzzer-no-link)
    if(NOT KT_SANITIZE)
        list(APPEND kt_sanitizer_flags -fsanitize=address,undefined)
    endif()
endif()

if(kt_sanitizer_flags)
    # Readable stacks, and no optimisation of the undefined away before it is seen.
    add_compile_options(${kt_sanitizer_flags} -fno-omit-frame-pointer)
    add_link_options(${kt_sanitizer_flags})
endif()
