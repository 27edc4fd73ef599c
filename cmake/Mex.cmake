# MEX modules for GNU Octave, built with `mkoctfile --mex` when Octave's
# development tools are installed. For MATLAB, see the README (MATLAB's `mex`).
find_program(MKOCTFILE_EXECUTABLE mkoctfile)
find_program(OCTAVE_CLI_EXECUTABLE octave-cli)
if(MKOCTFILE_EXECUTABLE AND OCTAVE_CLI_EXECUTABLE)
  set(VT_HAVE_OCTAVE ON)
  message(STATUS "Octave MEX modules: ${MKOCTFILE_EXECUTABLE}")
else()
  set(VT_HAVE_OCTAVE OFF)
  message(STATUS "Octave not found: MEX modules and Octave tests are skipped")
endif()

# Directory where every .mex and its help-only .m file end up, so one addpath
# reaches them all.
set(VT_MEX_DIR ${CMAKE_BINARY_DIR}/mex)
file(MAKE_DIRECTORY ${VT_MEX_DIR})

# vt_add_mex(NAME SOURCES src... LIBS static-target... LINK_FLAGS -lfoo... HELP file.m)
# Compiles SOURCES with mkoctfile --mex into ${VT_MEX_DIR}/NAME.mex, linking the
# given static library targets (built position independent) and extra flags.
function(vt_add_mex name)
  if(NOT VT_HAVE_OCTAVE)
    return()
  endif()
  cmake_parse_arguments(M "" "HELP" "SOURCES;LIBS;LINK_FLAGS;INCLUDES" ${ARGN})
  set(out ${VT_MEX_DIR}/${name}.mex)
  set(srcs "")
  foreach(s ${M_SOURCES})
    list(APPEND srcs ${CMAKE_CURRENT_SOURCE_DIR}/${s})
  endforeach()
  set(libfiles "")
  foreach(l ${M_LIBS})
    list(APPEND libfiles $<TARGET_FILE:${l}>)
  endforeach()
  set(incs "-I${CMAKE_SOURCE_DIR}" "-I${VT_GENERATED_DIR}")
  foreach(i ${M_INCLUDES})
    list(APPEND incs "-I${i}")
  endforeach()
  # The entries include headers of host/ and of the libraries (argument
  # helpers, shared entry frames) that no library build tracks for them.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/*.h ${CMAKE_SOURCE_DIR}/*/*.h)
  list(APPEND headers ${VT_GENERATED_DIR}/quorvel_version.h)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E env
            "CXXFLAGS=-std=c++20 -O2 -fPIC ${VT_STRICT_FP_FLAGS_STR} -Wall"
            ${MKOCTFILE_EXECUTABLE} --mex -o ${out} ${incs} ${srcs} ${libfiles} ${M_LINK_FLAGS}
    DEPENDS ${srcs} ${M_LIBS} ${headers}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    COMMENT "mkoctfile --mex ${name}"
    VERBATIM)
  add_custom_target(${name}_mex ALL DEPENDS ${out})
  set_property(GLOBAL APPEND PROPERTY VT_MEX_FILES ${out})
  if(M_HELP)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${M_HELP} ${VT_MEX_DIR}/${name}.m COPYONLY)
    set_property(GLOBAL APPEND PROPERTY VT_MEX_FILES ${VT_MEX_DIR}/${name}.m)
    set_property(GLOBAL APPEND PROPERTY VT_MEX_HELP_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${M_HELP})
  endif()
endfunction()

# vt_add_octave_test(NAME script.m): runs an Octave test script with the MEX
# directory on the path; the script ends with exit status 0 only when it passes.
function(vt_add_octave_test name script)
  if(NOT VT_HAVE_OCTAVE OR NOT VT_BUILD_TESTS)
    return()
  endif()
  add_test(NAME ${name}
    COMMAND ${OCTAVE_CLI_EXECUTABLE} --no-gui --norc --quiet --eval
            "addpath('${VT_MEX_DIR}'); addpath('${CMAKE_CURRENT_SOURCE_DIR}'); run('${CMAKE_CURRENT_SOURCE_DIR}/${script}');"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
