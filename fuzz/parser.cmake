torvane_fuzz(parser_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/parser_fuzz.cpp torvane_highlight)
