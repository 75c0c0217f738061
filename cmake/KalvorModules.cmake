# Libraries the program loads the first time it needs them (ProgramModule):
# kalvor_program_module(MODULE USER PREFIX [BESIDE]) makes MODULE such a
# library (or helper program), installs it where USER looks for it, and gives
# USER the PREFIX_FILE, PREFIX_FROM_BIN, PREFIX_BUILT and PREFIX_BUILD_TREE
# definitions that KALVOR_PROGRAM_MODULE(PREFIX) reads. BESIDE: USER is a
# program installed in MODULE's own folder (the drawing helper beside the
# PDF module), not among the executables.
include(GNUInstallDirs)

function(kalvor_program_module module user prefix)
  get_target_property(type ${module} TYPE)
  if(NOT type STREQUAL "EXECUTABLE")
    set_target_properties(${module} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden)
  endif()
  if(WIN32)
    # Beside the executables in the Windows folder.
    set(from_bin ".")
    install(TARGETS ${module} LIBRARY DESTINATION . RUNTIME DESTINATION .)
  else()
    set(dir ${CMAKE_INSTALL_LIBDIR}/kalvor)
    file(RELATIVE_PATH from_bin ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
         ${CMAKE_INSTALL_PREFIX}/${dir})
    install(TARGETS ${module} LIBRARY DESTINATION ${dir} RUNTIME DESTINATION ${dir})
    if("BESIDE" IN_LIST ARGN)
      set(from_bin ".")
    endif()
  endif()
  # A Windows build made here runs under Wine, which shows this file system
  # as drive Z:.
  set(drive "")
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(drive "Z:")
  endif()
  target_compile_definitions(${user} PRIVATE
      ${prefix}_FILE="$<TARGET_FILE_NAME:${module}>"
      ${prefix}_FROM_BIN="${from_bin}"
      ${prefix}_BUILT="${drive}$<TARGET_FILE:${module}>"
      ${prefix}_BUILD_TREE="${drive}${CMAKE_BINARY_DIR}")
  # Whatever links USER gets the module built as well.
  add_dependencies(${user} ${module})
endfunction()
