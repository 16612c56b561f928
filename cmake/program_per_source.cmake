# One program per source file: each `folder`/*`suffix`.cc becomes a program
# named after the file, linked with the project's code and the PICT reader
# (when there is one). The gdk-pixbuf loader's program ("pixbuf_loader" and
# `suffix`) also links the loader's code, and is left out when that code is
# not built. The names of the programs made go into `out_var`.
function(add_program_per_source folder suffix out_var)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*${suffix}.cc)
  set(names)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    set(loader_program OFF)
    if(name STREQUAL "pixbuf_loader${suffix}")
      if(NOT TARGET pixbuf_loader_code)
        continue()
      endif()
      set(loader_program ON)
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE pic2jpg_core project_warnings)
    if(TARGET pict_reader)
      target_link_libraries(${name} PRIVATE pict_reader)
    endif()
    if(loader_program)
      target_link_libraries(${name} PRIVATE pixbuf_loader_code)
    endif()
    list(APPEND names ${name})
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()
