# vandrel_add_picture(): converts a picture with Vandrel::vandrel-convert as a build step of a target.
include_guard(GLOBAL)
# A function keeps the policies of its definition, so it behaves the same in builds that ask for an
# older CMake. include() gave this file a policy scope of its own.
if(CMAKE_VERSION VERSION_LESS 3.20)
  message(FATAL_ERROR "vandrel_add_picture needs CMake 3.20 or later, this is ${CMAKE_VERSION}")
endif()
cmake_policy(VERSION 3.20...3.25)

# vandrel_add_picture(<target> <picture> [HEADER] [NO_SIZE] [DITHER] [BGR] [LAYOUT <name>]
#                     [NAME <ident>] [BACKGROUND <rrggbb>] [OUTPUT <path>])
# A relative picture is taken from the current source folder, a relative OUTPUT from the current
# build folder, where the output goes by default as <picture's name without extension>.h or .bmc.
function(vandrel_add_picture target)
  set(flags HEADER NO_SIZE DITHER BGR)
  set(values LAYOUT NAME BACKGROUND OUTPUT)
  if(ARGC LESS 2 OR ARGV1 IN_LIST flags OR ARGV1 IN_LIST values)
    message(FATAL_ERROR "vandrel_add_picture: give the target, then the picture, then the options")
  endif()
  set(picture ${ARGV1})
  cmake_parse_arguments(PARSE_ARGV 2 arg "${flags}" "${values}" "")
  if(DEFINED arg_UNPARSED_ARGUMENTS)
    list(JOIN arg_UNPARSED_ARGUMENTS " " unknown)
    list(JOIN flags ", " flag_list)
    list(JOIN values ", " value_list)
    message(FATAL_ERROR "vandrel_add_picture: unknown argument '${unknown}' for ${picture}; the "
                        "options are ${flag_list}, and ${value_list} each followed by its value")
  endif()
  if(DEFINED arg_KEYWORDS_MISSING_VALUES)
    list(JOIN arg_KEYWORDS_MISSING_VALUES " and " missing)
    message(FATAL_ERROR "vandrel_add_picture: ${missing} needs a value (${picture})")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "vandrel_add_picture: no target '${target}'; create it before adding pictures")
  endif()
  # Build-order dependencies cannot be added to an alias, only to the target it names.
  get_target_property(aliased ${target} ALIASED_TARGET)
  if(aliased)
    set(target ${aliased})
  endif()

  cmake_path(ABSOLUTE_PATH picture BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
             OUTPUT_VARIABLE picture_path)
  if(DEFINED arg_OUTPUT)
    cmake_path(ABSOLUTE_PATH arg_OUTPUT BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} NORMALIZE
               OUTPUT_VARIABLE output)
  else()
    cmake_path(GET picture_path STEM LAST_ONLY stem)
    if(arg_HEADER)
      set(output ${CMAKE_CURRENT_BINARY_DIR}/${stem}.h)
    else()
      set(output ${CMAKE_CURRENT_BINARY_DIR}/${stem}.bmc)
    endif()
  endif()
  # CMake's own complaint about a second rule for one file names neither call nor picture.
  get_property(outputs GLOBAL PROPERTY VANDREL_PICTURE_OUTPUTS)
  if(output IN_LIST outputs)
    message(FATAL_ERROR "vandrel_add_picture: ${output} is already made by another call; "
                        "give ${picture} a different OUTPUT")
  endif()
  set_property(GLOBAL APPEND PROPERTY VANDREL_PICTURE_OUTPUTS ${output})

  set(options "")
  if(arg_HEADER)
    list(APPEND options --header)
  endif()
  if(arg_NO_SIZE)
    list(APPEND options --no-size)
  endif()
  if(arg_DITHER)
    list(APPEND options --dither)
  endif()
  if(arg_BGR)
    list(APPEND options --bgr)
  endif()
  if(DEFINED arg_LAYOUT)
    list(APPEND options --layout ${arg_LAYOUT})
  endif()
  if(DEFINED arg_NAME)
    list(APPEND options --name ${arg_NAME})
  endif()
  if(DEFINED arg_BACKGROUND)
    list(APPEND options --background ${arg_BACKGROUND})
  endif()

  cmake_path(GET output FILENAME output_name)
  cmake_path(GET picture_path FILENAME picture_name)
  add_custom_command(
    OUTPUT ${output}
    COMMAND Vandrel::vandrel-convert ${options} -o ${output} ${picture_path}
    DEPENDS ${picture_path} Vandrel::vandrel-convert
    COMMENT "Converting ${picture_name} into ${output_name}"
    VERBATIM)

  # A target of its own carries the step, so that the target may live in another folder than the
  # call; the hash keeps names apart when two folders make outputs of the same name.
  string(MAKE_C_IDENTIFIER ${output_name} step)
  string(MD5 output_hash ${output})
  string(SUBSTRING ${output_hash} 0 8 output_hash)
  set(step vandrel_picture_${step}_${output_hash})
  add_custom_target(${step} DEPENDS ${output})
  add_dependencies(${target} ${step})

  if(arg_HEADER)
    get_target_property(type ${target} TYPE)
    set(scope PRIVATE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      set(scope INTERFACE)
    endif()
    cmake_path(GET output PARENT_PATH output_dir)
    target_include_directories(${target} ${scope} ${output_dir})
  endif()
endfunction()
