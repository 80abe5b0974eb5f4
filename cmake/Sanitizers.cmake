# SANITIZER: the sanitizers every target is built with, as -fsanitize takes
# them ("address,undefined", "thread"), or empty for none. Any report stops
# the program, so a test that triggers one fails.
set(SANITIZER "" CACHE STRING "Sanitizers to build with, e.g. address,undefined or thread")
if(SANITIZER)
  add_compile_options(-fsanitize=${SANITIZER} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${SANITIZER})
endif()
