#pragma once
// TMemIniFile: an INI file held in memory. It is read once when constructed,
// every read and write goes to the memory copy, and UpdateFile() writes the
// whole file back. Section and key names compare without regard to case
// (ASCII); sections and keys keep the order in which they first appeared.
// Values are 8-bit bytes, stored and written unchanged.
//
// Reading rules: integers are decimal (an optional sign, surrounding blanks
// allowed); anything else gives the default. Booleans are written "1"/"0"
// and read as true for any non-zero integer.

#include <string>
#include <vector>

namespace torvane {

class TMemIniFile {
public:
    // A missing or unreadable file gives an empty object; the name is kept
    // for UpdateFile().
    explicit TMemIniFile(std::string fileName);

    const std::string& FileName() const noexcept { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);
    std::vector<std::string> ReadSection(const std::string& section) const; // key names in order

    // Parses INI text, replacing the contents. Lines before the first section
    // header and lines without "=" are ignored.
    void SetText(const std::string& text);
    std::string GetText() const;

    // Writes the file (temporary file + rename, so a failed write leaves the
    // old file as it was). False on failure.
    bool UpdateFile() const;

private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section* Find(const std::string& section) const;
    Section* Find(const std::string& section);
    static const Entry* Find(const Section& s, const std::string& key);

    std::string fileName_;
    std::vector<Section> sections_;
};

} // namespace torvane
