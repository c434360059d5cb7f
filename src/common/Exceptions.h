#pragma once
// Exception classes of the editor component and its engines. Every one is a
// std::runtime_error whose what() is the user-visible message text.

#include <stdexcept>
#include <string>

namespace torvane {

#define TORVANE_EXCEPTION(Name, Base)                                                                        \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        explicit Name(const std::string& what) : Base(what) {}                                               \
        explicit Name(const char* what) : Base(what) {}                                                      \
    };

TORVANE_EXCEPTION(ETessary, std::runtime_error)
TORVANE_EXCEPTION(ETessaryParserError, ETessary)
TORVANE_EXCEPTION(EKeywords, ETessary)
TORVANE_EXCEPTION(ETES_COMP_ERROR, ETessary)
TORVANE_EXCEPTION(ECompressorException, std::runtime_error)
TORVANE_EXCEPTION(ElzhException, ECompressorException)
TORVANE_EXCEPTION(EAmbigiousKeyPair, ETessary)
TORVANE_EXCEPTION(EStreamError, std::runtime_error)
TORVANE_EXCEPTION(EFOpenError, EStreamError)
TORVANE_EXCEPTION(EFCreateError, EStreamError)
TORVANE_EXCEPTION(EReadError, EStreamError)
TORVANE_EXCEPTION(EWriteError, EStreamError)

// A save that failed; code is the system's error number when one is known
// (0 otherwise), so the user can be told the real reason.
class EFileSaveError : public EStreamError {
public:
    explicit EFileSaveError(const std::string& what, int code = 0) : EStreamError(what), code_(code) {}
    int Code() const noexcept { return code_; }

private:
    int code_;
};
#undef TORVANE_EXCEPTION

} // namespace torvane
