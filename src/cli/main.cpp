#include "cli/Command.h"
#include "platform/Process.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>

namespace torvane::cli {
namespace {

std::map<std::string, CliCommand>& Commands() {
    static std::map<std::string, CliCommand> commands;
    return commands;
}

int PrintUsage() {
    std::fprintf(stderr, "usage:\n");
    for (const auto& [name, command] : Commands())
        std::fprintf(stderr, "  torvane-cli %s\n", command.usage);
    return kExitUsage;
}

} // namespace

CliCommand::Registrar::Registrar(const CliCommand& command) {
    Commands()[command.name] = command;
}

int UsageError(const CliCommand& command) {
    std::fprintf(stderr, "usage: torvane-cli %s\n", command.usage);
    return kExitUsage;
}

} // namespace torvane::cli

int main(int argc, char** argv) {
    using namespace torvane::cli;
    std::vector<std::string> args = torvane::platform::ProgramArguments(argc, argv);
    if (args.empty()) return PrintUsage();
    auto it = Commands().find(args.front());
    if (it == Commands().end()) return PrintUsage();
    args.erase(args.begin());
    try {
        return it->second.run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
