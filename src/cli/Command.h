#pragma once
// Subcommands of torvane-cli. A subcommand is a file cmd_NAME.cpp holding a
// static CliCommand::Registrar; main() finds it by name.

#include <string>
#include <vector>

namespace torvane::cli {

struct CliCommand {
    const char* name;
    const char* usage; // one line, after "torvane-cli "
    // Arguments after the subcommand name. Returns the process exit code.
    int (*run)(const std::vector<std::string>& args);

    struct Registrar {
        explicit Registrar(const CliCommand& command);
    };
};

// Exit code and usage text for bad usage of a subcommand.
constexpr int kExitUsage = 2;
int UsageError(const CliCommand& command);

} // namespace torvane::cli
