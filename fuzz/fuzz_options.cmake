# The fuzzing build: clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer. Every library is instrumented for the fuzzer
# (fuzzer-no-link); the targets in fuzz/ link libFuzzer's driver. Configure
# a build directory of its own with it (scripts/fuzz.sh does):
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DHARBOLT_FUZZ=ON -DHARBOLT_TESTS=OFF
option(HARBOLT_FUZZ "Build the libFuzzer targets in fuzz/ (clang only)" OFF)
if(HARBOLT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "HARBOLT_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
