#include "AvrTestSupport.h"

#include "common/ToolSupport.h"

#include <fstream>
#include <unistd.h>

namespace avrtest {

fs::path TestFolder(const std::string& name) {
    return fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

FrontEndRun RunFrontEnd(const fs::path& source, const std::vector<fs::path>& includeDirs) {
    std::vector<std::string> args{(fs::path(TORVANE_BIN_DIR) / "avrasm32").string(),
                                  "-w",
                                  source.string(),
                                  "-e",
                                  fs::path(source).replace_extension(".eep").string(),
                                  "-fI",
                                  "-I",
                                  source.parent_path().string() + "/"};
    for (const fs::path& dir : includeDirs)
        args.insert(args.end(), {"-I", dir.string()});
    const auto captured = torvane::tools::RunCaptured(args, source.parent_path().string());
    return {captured.exitCode, torvane::tools::SplitLines(captured.out)};
}

std::map<uint32_t, uint8_t> ReadHex(const fs::path& path) {
    std::map<uint32_t, uint8_t> image;
    std::string text;
    if (!torvane::tools::ReadText(path.string(), text)) return image;
    uint32_t base = 0;
    for (const std::string& line : torvane::tools::SplitLines(text)) {
        if (line.size() < 11 || line[0] != ':') continue;
        auto byte = [&](size_t i) {
            return static_cast<uint8_t>(std::stoul(line.substr(1 + 2 * i, 2), nullptr, 16));
        };
        const uint8_t count = byte(0), type = byte(3);
        const uint32_t offset = byte(1) << 8 | byte(2);
        if (type == 0)
            for (uint8_t i = 0; i < count; ++i)
                image[base + offset + i] = byte(4 + i);
        else if (type == 2)
            base = (byte(4) << 8 | byte(5)) << 4;
        else if (type == 4)
            base = (byte(4) << 8 | byte(5)) << 16;
    }
    return image;
}

std::vector<uint8_t> Bytes(const std::map<uint32_t, uint8_t>& image, uint32_t address, size_t count) {
    std::vector<uint8_t> bytes;
    for (uint32_t a = address; a < address + count; ++a) {
        auto it = image.find(a);
        bytes.push_back(it == image.end() ? 0xFF : it->second);
    }
    return bytes;
}

} // namespace avrtest
