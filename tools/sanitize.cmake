# Included after project() by the sanitizer build (tools/sanitize-env.sh): how it splits the
# optimisation. Everything is compiled at -O0, the quickest to build, and the game's own code (the
# library, the content compiler, the soak) at -O1, set once every folder has been read. The run
# time goes there: the suites' autoplayed games, the archive build and the soak. The suites' own
# files run for moments, but GoogleTest's macros expand into long functions on which -O1 with the
# sanitizers spends several times the build time of -O0.
function(brikon_sanitize_optimise)
  foreach(target brikon brikon-content brikon-soak)
    if(TARGET ${target})
      target_compile_options(${target} PRIVATE -O1)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL brikon_sanitize_optimise)
