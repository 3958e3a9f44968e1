# vexa_idl(<target> <idl-file>): compiles a COM interface definition to a C/C++ header
# (<name>.h) and its interface identifiers (<name>_i.c) and adds both to <target>. The header is
# found as "<name>.h" by the target and everything that links it. MinGW uses Wine's widl, MSVC
# the SDK's midl.
function(vexa_idl target idl)
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idl_dir ${idl} DIRECTORY)
  set(out_dir ${CMAKE_BINARY_DIR}/generated)
  set(header ${out_dir}/${name}.h)
  set(iids ${out_dir}/${name}_i.c)
  file(MAKE_DIRECTORY ${out_dir})
  if(MSVC)
    add_custom_command(OUTPUT ${header} ${iids}
      COMMAND midl /nologo /I ${idl_dir} /h ${header} /iid ${iids} /tlb ${out_dir}/${name}_unused.tlb ${idl}
      DEPENDS ${idl} VERBATIM)
  else()
    find_program(VEXA_WIDL NAMES widl x86_64-w64-mingw32-widl REQUIRED)
    add_custom_command(OUTPUT ${header}
      COMMAND ${VEXA_WIDL} -I ${idl_dir} -h -o ${header} ${idl}
      DEPENDS ${idl} VERBATIM)
    add_custom_command(OUTPUT ${iids}
      COMMAND ${VEXA_WIDL} -I ${idl_dir} -u -o ${iids} ${idl}
      DEPENDS ${idl} VERBATIM)
  endif()
  target_sources(${target} PRIVATE ${header} ${iids})
  target_include_directories(${target} PUBLIC ${out_dir})
endfunction()
