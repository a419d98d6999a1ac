# Gives `target` an include folder that holds its own source folder alone,
# as a link named `layer` ("pattern", "web"), so that its files include
# "layer/..." and nothing beside it: an include of another layer does not
# compile (scripts/check_layers.py says the same for every file). Where no
# link can be made, `fallback` (the source root) serves, with a warning.
function(orvane_layer_include target layer fallback)
  set(folder "${CMAKE_CURRENT_BINARY_DIR}/include")
  file(MAKE_DIRECTORY "${folder}")
  file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${folder}/${layer}" RESULT linked SYMBOLIC)
  if(NOT linked EQUAL 0)
    message(WARNING "No link to ${layer}/ in ${folder} (${linked}): the build does not hold ${target} to its layer")
    set(folder "${fallback}")
  endif()
  target_include_directories(${target} PUBLIC "${folder}")
endfunction()
