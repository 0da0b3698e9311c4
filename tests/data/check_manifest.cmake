# cmake -DDATA_DIR=<repo>/data -P check_manifest.cmake
#
# Fails unless every file listed in DATA_DIR/MANIFEST.sha256 exists with the
# listed SHA-256 sum and every file under DATA_DIR/Test is listed. Catches an
# accidental edit of a vector file and a stray file in a vector directory
# (which the suites would read as vectors). tools/regenerate-vectors rewrites
# the manifest.
cmake_minimum_required(VERSION 3.25)

if(NOT DATA_DIR)
  message(FATAL_ERROR "DATA_DIR is not set")
endif()

file(STRINGS "${DATA_DIR}/MANIFEST.sha256" manifest_lines)
set(problems "")
set(listed "")
foreach(line IN LISTS manifest_lines)
  if(NOT line MATCHES "^([0-9a-f]+)  (Test/.+)$")
    string(APPEND problems "\n  malformed manifest line: ${line}")
    continue()
  endif()
  set(expected "${CMAKE_MATCH_1}")
  set(path "${CMAKE_MATCH_2}")
  list(APPEND listed "${path}")
  if(NOT EXISTS "${DATA_DIR}/${path}")
    string(APPEND problems "\n  missing: ${path}")
    continue()
  endif()
  file(SHA256 "${DATA_DIR}/${path}" actual)
  if(NOT actual STREQUAL expected)
    string(APPEND problems "\n  changed: ${path} (sha256 ${actual}, manifest ${expected})")
  endif()
endforeach()

file(GLOB_RECURSE present RELATIVE "${DATA_DIR}" "${DATA_DIR}/Test/*")
foreach(path IN LISTS present)
  if(NOT path IN_LIST listed)
    string(APPEND problems "\n  not in the manifest: ${path}")
  endif()
endforeach()

list(LENGTH listed listed_count)
if(listed_count EQUAL 0)
  string(APPEND problems "\n  the manifest lists no file")
endif()
if(problems)
  message(FATAL_ERROR "data/MANIFEST.sha256 does not match data/Test:${problems}\n"
                      "Regenerate with tools/regenerate-vectors (see data/README.md).")
endif()
message(STATUS "${listed_count} vector files match data/MANIFEST.sha256")
