add_compile_options(-Wall -Wextra)
if(HARBOLT_WERROR)
  add_compile_options(-Werror)
endif()

# Run-time faults (a bad pointer, an integer division by zero) are turned into
# the program's exception by a signal handler that throws. The faulting
# instruction must be covered by the unwind tables for that throw to unwind
# cleanly, which is what -fnon-call-exceptions guarantees.
add_compile_options(-fnon-call-exceptions)

if(HARBOLT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
