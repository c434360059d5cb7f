torvane_fuzz(regex_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/regex_fuzz.cpp torvane_regex)
