# vandrel_add_picture(): converts a picture with Vandrel::vandrel-convert as a build step of a target.
include_guard(GLOBAL)
# A function keeps the policies of its definition, so it behaves the same in builds that ask for an
# older CMake. include() gave this file a policy scope of its own.
if(CMAKE_VERSION VERSION_LESS 3.20)
  message(FATAL_ERROR "vandrel_add_picture needs CMake 3.20 or later, this is ${CMAKE_VERSION}")
endif()
cmake_policy(VERSION 3.20...3.25)

# The keywords of `pairs` (keyword, option, keyword, option, ...) into `variable`.
function(_vandrel_keywords variable pairs)
  set(keywords "")
  while(pairs)
    list(POP_FRONT pairs keyword option)
    list(APPEND keywords ${keyword})
  endwhile()
  set(${variable} ${keywords} PARENT_SCOPE)
endfunction()

# vandrel_add_picture(<target> <picture> [HEADER] [NO_SIZE] [DITHER] [BGR] [IGNORE_ORIENTATION]
#                     [LAYOUT <name>] [NAME <ident>] [BACKGROUND <rrggbb>] [SIZE <wxh>] [FIT <how>]
#                     [FILTER <filter>] [ROTATE <degrees>] [FLIP <direction>] [C_STYLE <style>]
#                     [C_ATTRIBUTE <text>] [COMPRESS <method>] [OUTPUT <path>])
# A relative picture is taken from the current source folder, a relative OUTPUT from the current
# build folder, where the output goes by default under the name vandrel-convert gives it.
function(vandrel_add_picture target)
  # Each keyword, then the option of vandrel-convert it passes; the program checks the values.
  set(flag_options HEADER --header NO_SIZE --no-size DITHER --dither BGR --bgr
      IGNORE_ORIENTATION --ignore-orientation)
  set(value_options LAYOUT --layout NAME --name BACKGROUND --background SIZE --size FIT --fit
      FILTER --filter ROTATE --rotate FLIP --flip C_STYLE --c-style C_ATTRIBUTE --c-attribute
      COMPRESS --compress)
  _vandrel_keywords(flags "${flag_options}")
  _vandrel_keywords(values "${value_options}")
  list(APPEND values OUTPUT)
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
    # vandrel-convert's naming rule: the picture's file name with its last three characters replaced
    # by the extension (logo.bmp gives logo.h, photo.jpeg photo.jh), here in the build folder.
    cmake_path(GET picture_path FILENAME name)
    string(LENGTH "${name}" length)
    if(length LESS 3)
      set(length 3)
    endif()
    math(EXPR length "${length} - 3")
    string(SUBSTRING "${name}" 0 ${length} name)
    if(arg_HEADER)
      set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}h)
    else()
      set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}bmc)
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
  set(pairs ${flag_options})
  while(pairs)
    list(POP_FRONT pairs keyword option)
    if(arg_${keyword})
      list(APPEND options ${option})
    endif()
  endwhile()
  set(pairs ${value_options})
  while(pairs)
    list(POP_FRONT pairs keyword option)
    if(DEFINED arg_${keyword})
      list(APPEND options ${option} ${arg_${keyword}})
    endif()
  endwhile()

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
