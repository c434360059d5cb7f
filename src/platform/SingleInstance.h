#pragma once
// One running instance per user session, and the hand-over of a file name
// from a second start to the first one.
//
// POSIX: the exclusive lock is an flock on the file "Torvane" in the user's
// runtime directory ($XDG_RUNTIME_DIR, else /tmp/torvane-UID); the running
// instance listens on the local socket "TfrmTorvane" in the same directory.
// Either directory is used only when it is the user's own and nobody else
// may create files in it: otherwise another user could hold the lock (no
// Torvane would start) or stand in for the running instance and receive the
// file names. Without such a directory the program runs without a lock and
// takes no hand-overs.
// A hand-over is the copy-data record: dwData (32-bit LE), cbData (32-bit
// LE), then cbData bytes. The sender waits for a one-byte acknowledgement,
// which the receiver sends only after it has handled the record, so the
// hand-over is synchronous as a window-message send would be.
//
// Windows: the lock is the named mutex "Torvane"; the running instance owns a
// message-only window of the class "TfrmTorvane", and a second start sends it
// the record as WM_COPYDATA, which returns once the record is handled.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvane::platform {

struct CopyDataRecord {
    uint32_t dwData = 0;
    std::vector<uint8_t> bytes; // cbData == bytes.size()
};

class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock (it is the first instance),
    // or when there is no safe place for a lock (see above).
    bool Acquire();
    // First instance: open the endpoint. Returns a descriptor that becomes
    // readable when a sender connects, or -1.
    int Listen();
    // Reads one record from a waiting sender. On success *connection is the
    // open connection to pass to Acknowledge() once the record is handled.
    bool Receive(CopyDataRecord& record, int* connection);
    static void Acknowledge(int connection);
#ifdef _WIN32
    // First instance on Windows: opens the window that receives hand-overs.
    // Records reach `handler` while the thread dispatches its messages, and
    // the sender waits until the handler has returned. False when the
    // window cannot be made.
    bool ListenForCopyData(std::function<void(const CopyDataRecord&)> handler);
#endif

    // Second instance: hands a record to the running instance and waits up to
    // timeoutMs for its acknowledgement. False when no instance listens.
    static bool Send(const CopyDataRecord& record, int timeoutMs = 30000);

    // The runtime directory with a trailing separator, "" when neither
    // candidate is safe. RuntimeDirectoryFor is the same choice for given
    // candidates; the fallback is created (0700) when missing.
    static std::string RuntimeDirectory();
    static std::string RuntimeDirectoryFor(const char* xdgRuntimeDir, const std::string& fallback);

private:
    int lockFd_ = -1;
    bool unlocked_ = false; // no safe directory: running without a lock
    int listenFd_ = -1;
    std::string socketPath_;
#ifdef _WIN32
    void* mutex_ = nullptr;  // HANDLE
    void* window_ = nullptr; // HWND
    std::function<void(const CopyDataRecord&)> handler_;
#endif
};

} // namespace torvane::platform
