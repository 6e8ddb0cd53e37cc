# Include roots that hold one area's headers and nothing else.
#
# Every header is included by its path from the top of the repository
# ("platform/net/HttpSession.h"), but the top of the repository is never an
# include folder: each area gets a folder of its own under build/include whose
# entries are symbolic links to its sources. A target sees only the areas it
# links, so a header from a layer above it, or a test helper in production
# code, is a build error and not a habit.

set(TOLVEN_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include)

# Links <root>/<path> to the source <path> for each path, making the folders
# on the way.
function(_tolven_link_paths root)
  foreach(path ${ARGN})
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
endfunction()

# Sets <kept> to the paths that cover the source folder <folder> without the
# folders named in <skipped_names> (wherever they lie), and <skipped> to the
# paths of those folders. A folder with nothing skipped below it is one path.
function(_tolven_split_folder folder skipped_names kept skipped)
  file(GLOB entries CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${folder}/*)
  set(kept_here "")
  set(skipped_here "")
  foreach(entry ${entries})
    get_filename_component(name ${entry} NAME)
    if(name STREQUAL "node_modules")
      continue()
    elseif(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${entry})
      list(APPEND kept_here ${entry})
    elseif(name IN_LIST skipped_names)
      list(APPEND skipped_here ${entry})
    else()
      file(GLOB_RECURSE below CONFIGURE_DEPENDS LIST_DIRECTORIES true RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${entry}/*)
      list(FILTER below EXCLUDE REGEX "/node_modules(/|$)")
      set(split_needed FALSE)
      foreach(path ${below})
        get_filename_component(below_name ${path} NAME)
        if(below_name IN_LIST skipped_names AND IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${path})
          set(split_needed TRUE)
          break()
        endif()
      endforeach()
      if(split_needed)
        _tolven_split_folder(${entry} "${skipped_names}" inner_kept inner_skipped)
        list(APPEND kept_here ${inner_kept})
        list(APPEND skipped_here ${inner_skipped})
      else()
        list(APPEND kept_here ${entry})
      endif()
    endif()
  endforeach()
  set(${kept} ${kept_here} PARENT_SCOPE)
  set(${skipped} ${skipped_here} PARENT_SCOPE)
endfunction()

# tolven_include_root(<target> <PUBLIC|INTERFACE|PRIVATE> <name> <path>...)
#
# Makes build/include/<name> hold the given source paths (relative to the top
# of the repository) and gives it to <target> as its include folder inside the
# build tree.
function(tolven_include_root target scope name)
  set(root ${TOLVEN_INCLUDE_ROOTS}/${name})
  file(REMOVE_RECURSE ${root})
  _tolven_link_paths(${root} ${ARGN})
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${root}>)
endfunction()

# tolven_area_include_roots(<folder> <target> <testing target>
#                           [INTERNAL_PATHS <path>...] [APART <target> <name>...])
#
# Splits the area <folder> in include roots: its headers for everything that
# links <target>; its folders named internal, and INTERNAL_PATHS, for the
# sources of <target> alone; its test helpers (every folder named testing or
# tests) for what links <testing target>, which the tests link; and, with
# APART, its folders of the given names for what links the target named first.
function(tolven_area_include_roots folder target testing_target)
  cmake_parse_arguments(arg "" "" "INTERNAL_PATHS;APART" ${ARGN})
  set(apart_names ${arg_APART})
  if(apart_names)
    list(POP_FRONT apart_names apart_target)
  endif()
  _tolven_split_folder(${folder} "testing;tests;internal;${apart_names}" kept skipped)
  set(internal ${arg_INTERNAL_PATHS})
  set(testing "")
  set(apart "")
  foreach(path ${skipped})
    get_filename_component(name ${path} NAME)
    if(name STREQUAL "internal")
      list(APPEND internal ${path})
    elseif(name IN_LIST apart_names)
      list(APPEND apart ${path})
    else()
      list(APPEND testing ${path})
    endif()
  endforeach()
  _tolven_scope_of(${target} scope)
  _tolven_scope_of(${testing_target} testing_scope)
  tolven_include_root(${target} ${scope} ${target} ${kept})
  if(internal)
    if(scope STREQUAL "INTERFACE")
      message(FATAL_ERROR "${folder}: internal headers need a library that has sources")
    endif()
    tolven_include_root(${target} PRIVATE ${target}_internal ${internal})
  endif()
  tolven_include_root(${testing_target} ${testing_scope} ${testing_target} ${testing})
  if(apart_names)
    _tolven_scope_of(${apart_target} apart_scope)
    tolven_include_root(${apart_target} ${apart_scope} ${apart_target} ${apart})
  endif()
endfunction()

# Sets <out> to the scope in which <target> can give include folders on.
function(_tolven_scope_of target out)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(${out} INTERFACE PARENT_SCOPE)
  else()
    set(${out} PUBLIC PARENT_SCOPE)
  endif()
endfunction()
