torvane_fuzz(symbols_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/symbols_fuzz.cpp torvane_symbols)
