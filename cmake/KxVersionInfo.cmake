# The Windows programs' version resource, from the project's version: every program
# names itself and what it is, the rest is the product's.
enable_language(RC)

function(kx_add_version_info target description)
  set(KX_VERSION_NAME ${target})
  set(KX_VERSION_FILE ${target}.exe)
  set(KX_VERSION_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
