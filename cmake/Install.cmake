# What `cmake --install` puts under the prefix, and the Debian package made
# from it with CPack:
#   bin/                          quorvel, brellix, vantrix
#   include/quorvel/              the synthesis library's headers
#   lib/libquorvel.a              synthesis core, articulatory control, simulator
#   lib/cmake/Quorvel/            find_package(Quorvel) -> Quorvel::quorvel
#   lib/pkgconfig/quorvel.pc      pkg-config --cflags --libs quorvel
#   <Octave site oct dir>/quorvel/ the MEX modules and their help files
#   share/quorvel/examples/       scores, area-function files (vowel library), tube keys
#   share/quorvel/data/           published measurements (nasal tract and others)

include(CMakePackageConfigHelpers)
find_package(PkgConfig REQUIRED)

# --- MEX modules -------------------------------------------------------------
# Into a folder below Octave's site directory for compiled functions, which
# Octave searches recursively at start-up: with the prefix /usr (the Debian
# package) the modules are on Octave's path without any addpath. Each help
# file sits beside its module, where `help` finds it.
set(vt_mexdir_default ${CMAKE_INSTALL_LIBDIR}/quorvel/octave)
if(VT_HAVE_OCTAVE)
  execute_process(
    COMMAND ${OCTAVE_CLI_EXECUTABLE} --no-gui --norc --quiet --eval
            "printf('%s\\n%s', OCTAVE_HOME(), __octave_config_info__('localapioctfiledir'))"
    OUTPUT_VARIABLE vt_octave_dirs ERROR_QUIET RESULT_VARIABLE vt_octave_rc)
  string(REPLACE "\n" ";" vt_octave_dirs "${vt_octave_dirs}")
  list(LENGTH vt_octave_dirs vt_n)
  if(vt_octave_rc EQUAL 0 AND vt_n EQUAL 2)
    list(GET vt_octave_dirs 0 vt_octave_prefix)
    list(GET vt_octave_dirs 1 vt_octave_site)
    file(RELATIVE_PATH vt_rel ${vt_octave_prefix} ${vt_octave_site})
    if(NOT vt_rel MATCHES "^\\.\\.")
      set(vt_mexdir_default ${vt_rel}/quorvel)
    endif()
  endif()
endif()
set(QUORVEL_INSTALL_MEXDIR ${vt_mexdir_default} CACHE STRING
    "Folder (relative to the prefix) for the MEX modules and their help files")
if(VT_HAVE_OCTAVE)
  get_property(vt_mex_files GLOBAL PROPERTY VT_MEX_FILES)
  install(FILES ${vt_mex_files} DESTINATION ${QUORVEL_INSTALL_MEXDIR})
endif()

# --- The C++ library ---------------------------------------------------------
# One archive of the three subsystem libraries the synthesiser needs, so that
# users link one library. It is assembled from their object files; nothing is
# compiled twice.
add_library(quorvel_library STATIC
  $<TARGET_OBJECTS:vt_synth> $<TARGET_OBJECTS:vt_artic> $<TARGET_OBJECTS:vt_simulator>)
set_target_properties(quorvel_library PROPERTIES OUTPUT_NAME quorvel EXPORT_NAME quorvel
                                                 LINKER_LANGUAGE CXX)
target_include_directories(quorvel_library INTERFACE
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}> $<BUILD_INTERFACE:${VT_GENERATED_DIR}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/quorvel>)
target_compile_features(quorvel_library INTERFACE cxx_std_20)
# libsndfile writes the WAV files; QuorvelConfig.cmake finds it under the same name.
pkg_check_modules(Quorvel_sndfile REQUIRED QUIET IMPORTED_TARGET sndfile)
target_link_libraries(quorvel_library INTERFACE PkgConfig::Quorvel_sndfile)
add_library(Quorvel::quorvel ALIAS quorvel_library)

foreach(sub synth artic simulator)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${sub}/
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quorvel/${sub}
          FILES_MATCHING PATTERN "*.h" PATTERN "tests" EXCLUDE PATTERN "cli" EXCLUDE)
endforeach()
install(FILES ${VT_GENERATED_DIR}/quorvel_version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quorvel)
install(TARGETS quorvel_library EXPORT QuorvelTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

set(VT_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quorvel)
install(EXPORT QuorvelTargets NAMESPACE Quorvel:: DESTINATION ${VT_CMAKE_PACKAGE_DIR})
configure_package_config_file(cmake/QuorvelConfig.cmake.in
  ${CMAKE_BINARY_DIR}/QuorvelConfig.cmake INSTALL_DESTINATION ${VT_CMAKE_PACKAGE_DIR}
  PATH_VARS CMAKE_INSTALL_DATADIR QUORVEL_INSTALL_MEXDIR)
# 0.x releases change the interface with the minor number.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuorvelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuorvelConfig.cmake ${CMAKE_BINARY_DIR}/QuorvelConfigVersion.cmake
        DESTINATION ${VT_CMAKE_PACKAGE_DIR})

# pkg-config: the prefix is found from the .pc file's own place, so the file
# stays right for any --prefix given at install time and inside the package.
set(VT_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH VT_PC_TO_PREFIX /${VT_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" VT_PC_TO_PREFIX "${VT_PC_TO_PREFIX}")
configure_file(cmake/quorvel.pc.in ${CMAKE_BINARY_DIR}/quorvel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/quorvel.pc DESTINATION ${VT_PKGCONFIG_DIR})

# --- Programs ----------------------------------------------------------------
install(TARGETS quorvel brellix_cli vantrix_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# --- Data --------------------------------------------------------------------
# Whole folders, so that files added to them later come along.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/examples)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/data OPTIONAL)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/COPYING
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
