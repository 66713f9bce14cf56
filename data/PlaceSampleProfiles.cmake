# Puts the sample profiles into a Profiles folder without ever replacing a file that is
# already there: a sample the user changed (or a file of the same name the user made)
# stays as it is. Run as
#   cmake -DSAMPLE_SOURCE=<folder of samples> -DSAMPLE_DESTINATION=<Profiles folder> -P PlaceSampleProfiles.cmake
# or include()d from an install script with the same two variables and SAMPLE_INSTALL
# set; the install then lists what it placed and what it kept.

if(NOT SAMPLE_SOURCE OR NOT SAMPLE_DESTINATION)
  message(FATAL_ERROR "PlaceSampleProfiles: SAMPLE_SOURCE and SAMPLE_DESTINATION are required")
endif()

file(MAKE_DIRECTORY "${SAMPLE_DESTINATION}")
file(GLOB _orrery_samples LIST_DIRECTORIES false "${SAMPLE_SOURCE}/*.xml")
list(SORT _orrery_samples)
foreach(_orrery_sample IN LISTS _orrery_samples)
  get_filename_component(_orrery_name "${_orrery_sample}" NAME)
  set(_orrery_target "${SAMPLE_DESTINATION}/${_orrery_name}")
  # A dangling symbolic link is a name the user has taken too.
  if(EXISTS "${_orrery_target}" OR IS_SYMLINK "${_orrery_target}")
    if(SAMPLE_INSTALL)
      message(STATUS "Kept (already there): ${_orrery_target}")
    endif()
    continue()
  endif()
  file(COPY_FILE "${_orrery_sample}" "${_orrery_target}" RESULT _orrery_result)
  if(NOT _orrery_result STREQUAL "0")
    message(FATAL_ERROR "PlaceSampleProfiles: cannot write ${_orrery_target}: ${_orrery_result}")
  endif()
  if(SAMPLE_INSTALL)
    message(STATUS "Installing: ${_orrery_target}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_orrery_target}")
  endif()
endforeach()
