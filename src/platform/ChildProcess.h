#pragma once
// A started child as the polling loop that every system shares sees it
// (ProcessRunner.cpp); each system's RunProcess starts the child with its
// pipes and hands it to PollChild.

#include "platform/ProcessRunner.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace torvane::platform {

class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    // The exit code once the child has ended, nothing while it runs. Asked
    // no more after it gave one.
    virtual std::optional<int> ExitCode() = 0;
    // How many output bytes wait in the pipe, without blocking.
    virtual size_t Waiting() = 0;
    // Reads at most count of the waiting bytes; 0 on failure.
    virtual size_t Read(char* buffer, size_t count) = 0;
    // Stops everything the child started and, unless it has ended already,
    // the child itself.
    virtual void Kill(bool childEnded) = 0;
};

// Polls the child until it has ended and its output is drained, or until a
// limit or the cancel flag stops it.
ProcessResult PollChild(ChildProcess& child, std::vector<std::string>& output, const ProcessLimits& limits);

} // namespace torvane::platform
