# What a Windows executable of Kalvor carries besides its code: a version
# resource with the edition's file and product version, and the program icon.

# The icon: KALVOR_WINDOWS_ICON, or the first .ico under resources/.
if(NOT KALVOR_WINDOWS_ICON)
  file(GLOB_RECURSE _kalvor_icons ${PROJECT_SOURCE_DIR}/resources/*.ico)
  list(SORT _kalvor_icons)
  if(_kalvor_icons)
    list(GET _kalvor_icons 0 _kalvor_icon)
    set(KALVOR_WINDOWS_ICON ${_kalvor_icon} CACHE FILEPATH "Icon of the Windows executables")
  endif()
endif()

# Left-pads `value` with zeros to `width` digits.
function(kalvor_zero_pad out value width)
  string(LENGTH "${value}" length)
  while(length LESS width)
    string(PREPEND value "0")
    math(EXPR length "${length} + 1")
  endwhile()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Gives `target` the version resource for `version` (major.minor.revision,
# as the window title shows it). The file version then reads as the editions
# number it: 1.1.1 is "1.01.0001", stored as 1,1,0,1.
function(kalvor_windows_executable target version)
  string(REPLACE "." ";" parts "${version}")
  list(LENGTH parts count)
  if(NOT count EQUAL 3)
    message(FATAL_ERROR "${target}: version ${version} is not major.minor.revision")
  endif()
  list(GET parts 0 KALVOR_RC_MAJOR)
  list(GET parts 1 KALVOR_RC_MINOR)
  list(GET parts 2 KALVOR_RC_REVISION)
  kalvor_zero_pad(minor "${KALVOR_RC_MINOR}" 2)
  kalvor_zero_pad(revision "${KALVOR_RC_REVISION}" 4)
  set(KALVOR_RC_VERSION_TEXT "${KALVOR_RC_MAJOR}.${minor}.${revision}")
  set(KALVOR_RC_NAME ${target})
  if(KALVOR_WINDOWS_ICON)
    set(KALVOR_RC_ICON "1 ICON \"${KALVOR_WINDOWS_ICON}\"")
  else()
    set(KALVOR_RC_ICON "// No icon: none was found under resources/.")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/editions/KalvorVersion.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # A windowed program: no console window opens beside it.
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  set_property(TARGET ${target} PROPERTY KALVOR_FILE_VERSION ${KALVOR_RC_VERSION_TEXT})
endfunction()
