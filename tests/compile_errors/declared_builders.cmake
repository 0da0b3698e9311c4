# quillon_declared_builders(<variable> <project dir>): the names of the
# builders (make...) and diagnostics (diagnose...) that the public headers
# of the kit declare, each once.
function(quillon_declared_builders variable project_dir)
  file(GLOB headers ${project_dir}/include/quillon_tests/*.hpp)
  set(declared "")
  foreach(header IN LISTS headers)
    file(READ ${header} text)
    string(REGEX MATCHALL "template <class [A-Za-z, ]+>[ \n]+[A-Za-z_:<>]+ (make|diagnose)[A-Za-z0-9_]*\\("
           declarations "${text}")
    foreach(declaration IN LISTS declarations)
      string(REGEX REPLACE ".* ([A-Za-z0-9_]+)\\($" "\\1" name "${declaration}")
      list(APPEND declared ${name})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES declared)
  set(${variable} ${declared} PARENT_SCOPE)
endfunction()
