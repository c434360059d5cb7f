#pragma once
// Recovery of unsaved work. While a document is modified its text is written
// now and then into a private folder (0700, under the user's state folder);
// a clean end removes the files, so files found at start-up are what an
// abnormal end (a kill, a crash, a lost session) left behind.
//
// One file per document, "<process id>.<run>-<document number>.rec", mode
// 0600, where <run> is random for each start: after a reboot a new start may
// get the process id of the one that crashed, and must neither take that
// one's files for its own nor overwrite them. Files are read back whatever
// their name, so those of older versions ("<process id>-...") still count.
// The contents:
//   "TORVANE-RECOVERY 1\n" <length of the name in decimal> "\n" <name> <text>
// The name is the document's name at the time (a path, or an untitled name);
// the text is the document's bytes as the editor holds them.

#include <optional>
#include <string>
#include <vector>

namespace torvane::app {

struct RecoveryEntry {
    std::string path; // the recovery file
    std::string originalName;
    std::string text;
};

class TRecoveryStore {
public:
    // folder ends with a separator; DefaultFolder() is the user's.
    explicit TRecoveryStore(std::string folder);
    static std::string DefaultFolder();

    // Creates the folder when missing. False when it is not private to this
    // user (then nothing is written there).
    bool Prepare();
    bool Ready() const noexcept { return ready_; }

    // Writes (replaces) the file of a document of this process.
    bool Write(int document, const std::string& originalName, const std::string& text);
    void Remove(int document);
    // Removes every file of this process: the clean end.
    void RemoveOwn();

    // Files left by earlier runs, oldest first. Unreadable or foreign files
    // are skipped.
    std::vector<RecoveryEntry> Pending() const;
    static void Discard(const RecoveryEntry& entry);

    // The parse of one file's bytes (exposed for tests).
    static std::optional<RecoveryEntry> Parse(const std::string& bytes);

private:
    std::string FileOf(int document) const;
    std::string ownPrefix_;
    std::string folder_;
    bool ready_ = false;
};

} // namespace torvane::app
