if(TARGET torvane_scheme)
  torvane_fuzz(scheme_lexer_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/scheme_lexer_fuzz.cpp torvane_scheme)
endif()
