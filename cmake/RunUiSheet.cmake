# Makes a photograph-like test picture with oiiotool and renders every screen state on it.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
find_program(OIIOTOOL oiiotool REQUIRED)
execute_process(
  COMMAND ${OIIOTOOL} --pattern "fill:topleft=0.9,0.5,0.2:topright=0.2,0.4,0.9:bottomleft=0.1,0.6,0.3:bottomright=0.95,0.9,0.7" 900x600 3
    -o ${OUT}/photo.png
  RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "cannot make the test picture")
endif()
execute_process(COMMAND ${UISHEET} ${OUT}/photo.png ${OUT}/states RESULT_VARIABLE rendered)
if(NOT rendered EQUAL 0)
  message(FATAL_ERROR "opalene_uisheet failed (${rendered})")
endif()
file(GLOB states ${OUT}/states/*.png)
list(LENGTH states count)
if(count LESS 2)
  message(FATAL_ERROR "opalene_uisheet wrote ${count} pictures")
endif()
