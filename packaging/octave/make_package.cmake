# cmake -DSOURCE_DIR=... -DGENERATED_DIR=... -DOUT=.../quorvel-<version>.tar.gz
#       -DVERSION=... -P make_package.cmake
# Assembles the Octave package: DESCRIPTION, INDEX, COPYING, inst/ with the
# help files, src/ with the sources and the Makefile that `pkg install` runs.
get_filename_component(out_dir ${OUT} DIRECTORY)
set(name quorvel-${VERSION})
set(stage ${out_dir}/octave-package)
set(top ${stage}/${name})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${top}/inst ${top}/src/generated)

set(PROJECT_VERSION ${VERSION})
string(TIMESTAMP VT_PACKAGE_DATE "%Y-%m-%d" UTC)
set(here ${CMAKE_CURRENT_LIST_DIR})
configure_file(${here}/DESCRIPTION.in ${top}/DESCRIPTION @ONLY)
file(COPY ${here}/INDEX ${SOURCE_DIR}/COPYING DESTINATION ${top})
file(COPY ${here}/Makefile DESTINATION ${top}/src)
file(GLOB help ${SOURCE_DIR}/host/*.m)
file(COPY ${help} DESTINATION ${top}/inst)
configure_file(${SOURCE_DIR}/data/vowels.json ${top}/inst/quorvel_vowels.json COPYONLY)
# The libraries' sources (not their tests or command-line mains) and the MEX entries.
foreach(sub host synth artic simulator fileio records avcombine analysis)
  file(GLOB srcs ${SOURCE_DIR}/${sub}/*.cpp ${SOURCE_DIR}/${sub}/*.h)
  list(FILTER srcs EXCLUDE REGEX "\\.m$")
  file(COPY ${srcs} DESTINATION ${top}/src/${sub})
endforeach()
file(COPY ${GENERATED_DIR}/quorvel_version.h DESTINATION ${top}/src/generated)

# Files in a fixed order with fixed times.
file(GLOB_RECURSE files RELATIVE ${stage} ${top}/*)
list(SORT files)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar czf ${OUT} --format=gnutar --mtime=2000-01-01 -- ${files}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not write ${OUT}")
endif()
