# Fails when a source file includes a header of a layer it may not see.
#   cmake -DROOT=<repository> [-DSTAMP=<file touched on success>] -P check_layers.cmake
#
# A layer is a folder; it may include its own headers and those of the
# folders listed for it, nothing else. The plug-in's layers are listed
# bottom to top; each may see the ones beneath it, except that the widget
# toolkit sees only the host link. The stand-in host and its programs must
# never see the plug-in: the plug-in is loaded, not linked.

cmake_minimum_required(VERSION 3.25)

set(_base hostapi optionlist platform)
set(allowed_plugin/hostlink        ${_base})
set(allowed_plugin/model           ${_base} plugin/hostlink)
set(allowed_plugin/state           ${_base} plugin/hostlink plugin/model)
set(allowed_plugin/tools/select    ${_base} plugin/hostlink plugin/model plugin/state)
set(allowed_plugin/tools/transform ${_base} plugin/hostlink plugin/model plugin/state)
set(allowed_plugin/output          ${_base} plugin/hostlink plugin/model plugin/state)
set(allowed_plugin/widgets         ${_base} plugin/hostlink)
set(allowed_plugin/window          ${_base} plugin/hostlink plugin/model plugin/state
                                   plugin/tools/select plugin/tools/transform plugin/output plugin/widgets)
set(allowed_plugin/shell           ${allowed_plugin/window} plugin/window)
set(_layers plugin/hostlink plugin/model plugin/state plugin/tools/select plugin/tools/transform
            plugin/output plugin/widgets plugin/window plugin/shell)

if(NOT ROOT)
  message(FATAL_ERROR "check_layers.cmake: set ROOT to the repository")
endif()

set(_violations "")
file(GLOB_RECURSE _files RELATIVE ${ROOT}
  ${ROOT}/plugin/*.h ${ROOT}/plugin/*.cpp ${ROOT}/host/*.h ${ROOT}/host/*.cpp
  ${ROOT}/app/*.h ${ROOT}/app/*.cpp ${ROOT}/gui/*.h ${ROOT}/gui/*.cpp
  ${ROOT}/python/*.h ${ROOT}/python/*.cpp)
foreach(file IN LISTS _files)
  get_filename_component(folder ${file} DIRECTORY)
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    get_filename_component(target ${header} DIRECTORY)
    if(target STREQUAL "" OR target STREQUAL folder)
      continue()
    endif()
    if(folder MATCHES "^plugin/")
      if(NOT folder IN_LIST _layers)
        list(APPEND _violations "${file}: the folder ${folder} is not one of the plug-in's layers")
        continue()
      endif()
      if(NOT target IN_LIST allowed_${folder})
        list(JOIN allowed_${folder} ", " _seen)
        list(APPEND _violations "${file}: includes ${header}, but ${folder} may see only ${_seen}")
      endif()
    elseif(target MATCHES "^plugin(/|$)")
      list(APPEND _violations "${file}: includes ${header}, but the host loads the plug-in and never compiles against it")
    elseif(folder MATCHES "^host(/|$)" AND target MATCHES "^(gui|app|python)(/|$)")
      # The window, the command and the Python module sit above the host; it
      # builds without them.
      list(APPEND _violations "${file}: includes ${header}, but the host knows no front end")
    elseif(folder MATCHES "^python(/|$)" AND target MATCHES "^(gui|app)(/|$)")
      # Front ends stand side by side on the host and its command language.
      list(APPEND _violations "${file}: includes ${header}, but the Python module sees no other front end")
    endif()
  endforeach()
endforeach()

if(_violations)
  list(JOIN _violations "\n  " _text)
  message(FATAL_ERROR "Includes that cross the layers the wrong way:\n  ${_text}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
