if(TARGET torvane_scheme)
  torvane_fuzz(scheme_grammar_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/scheme_grammar_fuzz.cpp torvane_scheme)
endif()
