// The AVR examples built as the user builds them (torvane-cli build, through
// the bridge and the front end), with their code checked byte for byte where
// it is easy to follow by hand: vectors, the first instructions, tables.

#include "AvrTestSupport.h"
#include "common/ToolSupport.h"

#include <gtest/gtest.h>

using namespace avrtest;

namespace {

struct Expected {
    uint32_t address;
    std::vector<uint8_t> bytes;
};

struct Example {
    const char* source; // under examples/
    std::vector<Expected> code;
};

const Example kExamples[] = {
    {"blink328p.asm", {{0x00, {0x00, 0xC0, 0x08, 0xE0, 0x0E, 0xBF}}}},
    // rjmp reset at 0; rjmp timer1_compa at OC1Aaddr; the handler: sbi PINB,5; reti
    {"avr/timer_isr_328p.asm",
     {{0x00, {0x33, 0xC0}}, {0x2C, {0x31, 0xC0}}, {0x90, {0x1D, 0x9A, 0x18, 0x95}}}},
    // stack set-up, then UBRR0H = 0 and ldi r16, 103; the greeting at word 0x100
    {"avr/uart_echo_328p.asm",
     {{0x00, {0x33, 0xC0}},
      {0x68,
       {0x08, 0xE0, 0x0E, 0xBF, 0x0F, 0xEF, 0x0D, 0xBF, 0x00, 0xE0, 0x00, 0x93, 0xC5, 0x00, 0x07, 0xE6}},
      {0x200, {'E', 'c', 'h', 'o', ' ', 'r', 'e', 'a', 'd', 'y', 13, 10, 0, 0}}}},
    // ldi r19, low(RAMEND); out SPL, r19; the sine table at word 0x200
    {"avr/lookup_tn85.asm",
     {{0x00, {0x00, 0xC0, 0x3F, 0xE5, 0x3D, 0xBF}},
      {0x400, {128, 177, 218, 245, 255, 245, 218, 177, 128, 79, 38, 11, 1, 11, 38, 79}}}},
    // lcd_init from lib\lcd.inc right after the vectors; the lcd_text macro
    // loading Z with the text's address, then the final loop; the text
    {"avr/lcd_328p/lcd_328p.asm",
     {{0x68, {0x0A, 0xB1, 0x00, 0x6F, 0x0A, 0xB9, 0x20, 0x9A, 0x21, 0x9A, 0x24, 0xE1}},
      {0xE8, {0xE0, 0xE0, 0xF4, 0xE0}},
      {0xEE, {0xFF, 0xCF}},
      {0x400, {'H', 'e', 'l', 'l', 'o', 0}}}},
};

TEST(AvrExamples, BuildThroughTheBridgeToTheExpectedCode) {
    const fs::path root = TestFolder("torvane_avr_examples");
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(TORVANE_EXAMPLES, root / "examples", fs::copy_options::recursive);
    WriteFile(root / "t.ini", "[AvrAsm32]\nPath=" + (fs::path(TORVANE_BIN_DIR) / "avrasm32").string() + "\n");
    for (const Example& example : kExamples) {
        const fs::path source = root / "examples" / example.source;
        const auto cli =
            torvane::tools::RunCaptured({(fs::path(TORVANE_BIN_DIR) / "torvane-cli").string(), "build",
                                         source.string(), "--ini", (root / "t.ini").string()},
                                        root.string());
        EXPECT_EQ(cli.exitCode, 0) << example.source << "\n" << cli.out << cli.err;
        EXPECT_NE(cli.out.find("Soubor byl úspěšně přeložen"), std::string::npos) << example.source;
        const auto image = ReadHex(fs::path(source).replace_extension(".hex"));
        for (const Expected& e : example.code)
            EXPECT_EQ(Bytes(image, e.address, e.bytes.size()), e.bytes)
                << example.source << " at " << e.address;
    }
    fs::remove_all(root);
}

} // namespace
