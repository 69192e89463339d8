# Draws the art into WORK with TOOL and compares it, file by file, with the
# categories, images and sample feed in RESOURCES.
#   cmake -DTOOL=... -DRESOURCES=... -DWORK=... -P CompareWithResources.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${TOOL}" "${WORK}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "theme-art failed (${status})")
endif()

set(differing "")
foreach(folder categories images feed-sample/art feed-sample/feed2 feed-sample/themes)
  file(GLOB drawn RELATIVE "${WORK}/${folder}" "${WORK}/${folder}/*")
  file(GLOB committed RELATIVE "${RESOURCES}/${folder}" "${RESOURCES}/${folder}/*")
  foreach(name IN LISTS drawn committed)
    set(a "${WORK}/${folder}/${name}")
    set(b "${RESOURCES}/${folder}/${name}")
    if(NOT EXISTS "${a}" OR NOT EXISTS "${b}")
      list(APPEND differing "${folder}/${name}")
      continue()
    endif()
    file(SHA256 "${a}" hashA)
    file(SHA256 "${b}" hashB)
    if(NOT hashA STREQUAL hashB)
      list(APPEND differing "${folder}/${name}")
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES differing)
if(differing)
  list(JOIN differing "\n  " names)
  message(FATAL_ERROR
    "resources/ is not what tools/theme-art draws; run tools/theme-art/generate and commit "
    "its output (or change the generator rather than its output). Differing:\n  ${names}")
endif()
