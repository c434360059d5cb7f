torvane_fuzz(compressor_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/compressor_fuzz.cpp torvane_compressor)
