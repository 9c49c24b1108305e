# The resource script is the resources of both builds. windres compiles it to
# a .res; on Linux the bytes of that .res are linked in and read by the
# stand-in's resource loader, on Windows the .res is linked as usual.

find_program(QEL_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED)
set(QEL_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../app/resources)

# The version information of the resources (and the installer) is the
# project's version, written into generated/version.h for the script.
set(QEL_PUBLISHER "Qel developers")
set(QEL_COPYRIGHT "Copyright © 2026 ${QEL_PUBLISHER}")
set(QEL_VERSION_HEADER ${CMAKE_BINARY_DIR}/generated/version.h)
configure_file(${QEL_RESOURCE_DIR}/version.h.in ${QEL_VERSION_HEADER} @ONLY)

# qel_draw_icon(ICO ASSETGEN): the rule that draws the game's icons into ICO
# with the asset generator ASSETGEN (its target, or a path to one).
function(qel_draw_icon ico assetgen)
  get_filename_component(dir ${ico} DIRECTORY)
  add_custom_command(OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${assetgen} --icon ${ico}
    DEPENDS ${assetgen}
    COMMENT "Drawing the icons into ${ico}")
endfunction()

# qel_add_resources(TARGET ASSETGEN RC): an object library TARGET holding the
# compiled RC, whose icons ASSETGEN draws at build time.
function(qel_add_resources target assetgen rc)
  set(dir ${CMAKE_BINARY_DIR}/generated)
  set(icon ${dir}/qel.ico)
  qel_draw_icon(${icon} ${assetgen})
  set(res ${dir}/qel.res)
  add_custom_command(OUTPUT ${res}
    COMMAND ${QEL_WINDRES} --preprocessor=cpp --preprocessor-arg=-E
            --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
            -I${QEL_RESOURCE_DIR} -I${dir}
            -I${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../platform/include
            -O res ${rc} ${res}
    DEPENDS ${rc} ${QEL_RESOURCE_DIR}/resource.h ${QEL_RESOURCE_DIR}/qel.manifest
            ${QEL_VERSION_HEADER} ${icon}
    COMMENT "Compiling the resources")
  # The data and resource_data.h, which declares it for whoever links TARGET.
  set(blob ${dir}/qel_res.cpp)
  set(header ${dir}/resource_data.h)
  add_custom_command(OUTPUT ${blob} ${header}
    COMMAND ${CMAKE_COMMAND} -DIN=${res} -DOUT=${blob} -DHEADER=${header}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedFile.cmake
    DEPENDS ${res} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedFile.cmake)
  add_library(${target} OBJECT ${blob} ${header})
  target_include_directories(${target} INTERFACE ${dir})
endfunction()
