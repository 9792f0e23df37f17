# The Windows program cross-built with mingw-w64 on Linux: a runner that
# starts this build's programs under Wine (the tests' emulator, so that
# ctest runs them there), and what a portable copy needs beside the
# executable (the mingw runtime, Qt's DLLs and the two plugins it loads).

# The mingw runtime DLLs the compiler links against.
set(GM_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "${dll} not found by ${CMAKE_CXX_COMPILER} (install libz-mingw-w64-dev for zlib1.dll)")
  endif()
  file(REAL_PATH "${found}" found)
  list(APPEND GM_MINGW_RUNTIME_DLLS "${found}")
endforeach()

# Qt's DLLs and plugins of the prefix the toolchain file names.
set(GM_QT_DLLS)
foreach(module Core Gui Widgets)
  get_target_property(location Qt6::${module} IMPORTED_LOCATION_RELEASE)
  if(NOT location)
    get_target_property(location Qt6::${module} IMPORTED_LOCATION)
  endif()
  list(APPEND GM_QT_DLLS "${location}")
endforeach()
get_filename_component(gm_qt_bin "${location}" DIRECTORY)
set(GM_QT_PLUGINS_DIR "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")

function(gm_wine_path out unix_path)
  string(REPLACE "/" "\\" windows_path "${unix_path}")
  set(${out} "Z:${windows_path}" PARENT_SCOPE)
endfunction()

set(gm_wine_dirs)
foreach(file ${GM_MINGW_RUNTIME_DLLS} "${gm_qt_bin}/Qt6Core.dll")
  get_filename_component(dir "${file}" DIRECTORY)
  gm_wine_path(dir "${dir}")
  list(APPEND gm_wine_dirs "${dir}")
endforeach()
list(REMOVE_DUPLICATES gm_wine_dirs)
list(JOIN gm_wine_dirs ";" GM_WINEPATH)
gm_wine_path(GM_QT_PLUGIN_PATH "${GM_QT_PLUGINS_DIR}")
set(GM_WINEPREFIX "${CMAKE_BINARY_DIR}/wine/prefix")
set(GM_WINE_HOME "${CMAKE_BINARY_DIR}/wine/home")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
