# marlowick_warnings(<target>): the project's warning set, fatal when
# MARLOWICK_WERROR is on.
function(marlowick_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Wnull-dereference
    -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(MARLOWICK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
