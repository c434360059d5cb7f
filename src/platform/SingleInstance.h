#pragma once
// One running instance per user session, and the hand-over of a file name
// from a second start to the first one.
//
// POSIX: the exclusive lock is an flock on the file "Torvane" in the user's
// runtime directory ($XDG_RUNTIME_DIR, else /tmp/torvane-UID); the running
// instance listens on the local socket "TfrmTorvane" in the same directory.
// A hand-over is the copy-data record: dwData (32-bit LE), cbData (32-bit
// LE), then cbData bytes. The sender waits for a one-byte acknowledgement,
// which the receiver sends only after it has handled the record, so the
// hand-over is synchronous as a window-message send would be.

#include <cstdint>
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

    // True when this process now holds the lock (it is the first instance).
    bool Acquire();
    // First instance: open the endpoint. Returns a descriptor that becomes
    // readable when a sender connects, or -1.
    int Listen();
    // Reads one record from a waiting sender. On success *connection is the
    // open connection to pass to Acknowledge() once the record is handled.
    bool Receive(CopyDataRecord& record, int* connection);
    static void Acknowledge(int connection);

    // Second instance: hands a record to the running instance and waits up to
    // timeoutMs for its acknowledgement. False when no instance listens.
    static bool Send(const CopyDataRecord& record, int timeoutMs = 30000);

    static std::string RuntimeDirectory();

private:
    int lockFd_ = -1;
    int listenFd_ = -1;
    std::string socketPath_;
};

} // namespace torvane::platform
