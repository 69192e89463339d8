# Helpers that give every Quillpost target the same language level, include
# roots and warnings.

function(qp_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # g++ 12 at -O3 reports overlapping copies inside std::string assignments
    # that cannot happen (a known false positive of that release).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(QP_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# qp_library(<name> SOURCES ... [HEADERS ...] [LIBS ...] [PRIVATE_LIBS ...])
# A static library for one module; code includes headers as "module/File.h".
# The library exports only its own headers (HEADERS, by default every header
# in its folder) through an include folder of its own, so code sees another
# module's headers only by linking that module. LIBS are the libraries its
# headers need (passed on to whoever links it), PRIVATE_LIBS those only its
# sources use.
function(qp_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_property(GLOBAL APPEND PROPERTY QP_LIBRARIES ${name})
  qp_export_headers(${name} "${ARG_HEADERS}")
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  qp_target_defaults(${name})
endfunction()

# Links the module's headers into <build>/include/<target>/<module>/ and makes
# that folder the target's public include path.
function(qp_export_headers name headers)
  file(RELATIVE_PATH module "${PROJECT_SOURCE_DIR}/src" "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT headers)
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
         "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  endif()
  set(root "${CMAKE_BINARY_DIR}/include/${name}")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}/${module}")
  foreach(header ${headers})
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}/${header}" "${root}/${module}/${header}" SYMBOLIC)
  endforeach()
  target_include_directories(${name} PUBLIC "${root}")
endfunction()

# qp_test(<name> [WIDGETS] [THREADS] SOURCES ... [LIBS ...])
# One GoogleTest executable per module. Tests run offscreen and are discovered
# when CTest runs, so building never starts a test program. WIDGETS gives the
# tests a QApplication. THREADS labels them "threads": the modules that run
# work on threads of their own, which CI also runs under ThreadSanitizer.
function(qp_test name)
  cmake_parse_arguments(ARG "WIDGETS;THREADS" "" "SOURCES;LIBS" ${ARGN})
  set(labels)
  if(ARG_THREADS)
    set(labels LABELS threads)
    set_property(GLOBAL APPEND PROPERTY QP_THREADED_TESTS ${name})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  if(ARG_WIDGETS)
    set(test_main qp_test_main_widgets)
  else()
    set(test_main qp_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest ${test_main})
  qp_target_defaults(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    # One variable per property: a list here would be split into words.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "QUILLPOST_RESOURCES=set:${PROJECT_SOURCE_DIR}/resources"
               ${labels}
    DISCOVERY_TIMEOUT 30)
endfunction()

# qp_bench(<name> SOURCES ... [LIBS ...])
function(qp_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/bench")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  qp_target_defaults(${name})
endfunction()

# Adds each listed subfolder that exists, so modules can land one at a time.
# QP_SKIP_DIRS (a list of folder names) leaves some out of a local build.
set(QP_SKIP_DIRS "" CACHE STRING "Folder names to leave out of this build")
function(qp_add_present_subdirectories)
  foreach(dir ${ARGN})
    if(dir IN_LIST QP_SKIP_DIRS)
      continue()
    endif()
    if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# qp_fuzz(<name> SOURCES ... LIBS ... [INSTRUMENT ...])
# A libFuzzer target `<name>_fuzz` in the clang fuzz build and, in the test
# build, a CTest `<name>_fuzz_corpus` replaying the folder's corpus/ through
# the same check. SOURCES define qp::fuzzOneInput (fuzz/support/FuzzTarget.h);
# INSTRUMENT lists the libraries to build with coverage feedback.
function(qp_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;INSTRUMENT" ${ARGN})
  set(support "${PROJECT_SOURCE_DIR}/fuzz/support")
  if(QP_BUILD_FUZZ)
    set(flags -fsanitize=fuzzer,address,undefined)
    add_executable(${name}_fuzz ${ARG_SOURCES} "${support}/FuzzEntry.cpp")
    target_include_directories(${name}_fuzz PRIVATE "${PROJECT_SOURCE_DIR}/src" "${support}")
    target_link_libraries(${name}_fuzz PRIVATE ${ARG_LIBS})
    target_compile_options(${name}_fuzz PRIVATE ${flags})
    target_link_options(${name}_fuzz PRIVATE ${flags})
    qp_target_defaults(${name}_fuzz)
    foreach(lib ${ARG_INSTRUMENT})
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    endforeach()
  endif()
  if(QP_BUILD_TESTS)
    add_executable(${name}_fuzz_replay ${ARG_SOURCES} "${support}/ReplayCorpus.cpp")
    target_include_directories(${name}_fuzz_replay PRIVATE "${PROJECT_SOURCE_DIR}/src" "${support}")
    target_link_libraries(${name}_fuzz_replay PRIVATE ${ARG_LIBS})
    qp_target_defaults(${name}_fuzz_replay)
    add_test(NAME ${name}_fuzz_corpus COMMAND ${name}_fuzz_replay "${CMAKE_CURRENT_SOURCE_DIR}/corpus")
  endif()
endfunction()
