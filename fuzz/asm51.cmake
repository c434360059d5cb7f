# The assembler's sources are compiled into the target, so libFuzzer's
# coverage instrumentation reaches them.
file(GLOB asm51_fuzz_sources ${CMAKE_SOURCE_DIR}/tools/asemw/asm51/*.cpp)
torvane_fuzz(asm51_fuzz ${CMAKE_CURRENT_LIST_DIR}/asm51_fuzz.cpp)
target_sources(asm51_fuzz PRIVATE ${asm51_fuzz_sources})
target_include_directories(asm51_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/tools/asemw)
