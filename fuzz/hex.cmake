# The parser's source is compiled into the target itself, so libFuzzer's
# coverage instrumentation reaches it.
torvane_fuzz(hex_fuzz ${CMAKE_CURRENT_LIST_DIR}/hex_fuzz.cpp torvane_common)
target_sources(hex_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src/bridge/HexToBin.cpp)
target_include_directories(hex_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src)
