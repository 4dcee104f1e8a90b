# hvc_idl_compile(OUT_SOURCES OUT_HEADERS OUTDIR idl...) runs omniidl on each file,
# generating the header, the stubs and the Any/TypeCode support.
function(hvc_idl_compile out_sources out_headers outdir)
  set(sources)
  set(headers)
  foreach(idl ${ARGN})
    get_filename_component(base ${idl} NAME_WE)
    get_filename_component(abs ${idl} ABSOLUTE)
    set(hh ${outdir}/${base}.hh)
    set(sk ${outdir}/${base}SK.cc)
    set(dyn ${outdir}/${base}DynSK.cc)
    add_custom_command(
      OUTPUT ${hh} ${sk} ${dyn}
      COMMAND ${OMNIIDL} -bcxx -Wba -I${CMAKE_SOURCE_DIR}/idl -I${OMNI_IDL_DIR} -I${OMNI_IDL_DIR}/COS
              -C${outdir} ${abs}
      DEPENDS ${abs} ${HVC_IDL_FILES}
      COMMENT "omniidl ${base}.idl"
      VERBATIM)
    list(APPEND sources ${sk} ${dyn})
    list(APPEND headers ${hh})
  endforeach()
  set(${out_sources} ${sources} PARENT_SCOPE)
  set(${out_headers} ${headers} PARENT_SCOPE)
endfunction()
