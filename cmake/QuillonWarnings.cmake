# Warning and sanitizer flags for this project's own targets only; nothing is
# added to CMAKE_CXX_FLAGS, so a project embedding us keeps its own flags.
add_library(quillon_build_flags INTERFACE)
target_compile_options(quillon_build_flags INTERFACE -Wall -Wextra -Wpedantic)
if(QUILLON_TESTS_WERROR)
  target_compile_options(quillon_build_flags INTERFACE -Werror)
endif()
if(QUILLON_TESTS_SANITIZERS)
  target_compile_options(quillon_build_flags INTERFACE
    -fsanitize=${QUILLON_TESTS_SANITIZERS} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(quillon_build_flags INTERFACE -fsanitize=${QUILLON_TESTS_SANITIZERS})
endif()

# quillon_use_build_flags(<target>...): apply the flags above privately.
function(quillon_use_build_flags)
  foreach(target IN LISTS ARGN)
    target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:quillon_build_flags>)
  endforeach()
endfunction()
