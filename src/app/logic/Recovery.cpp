#include "app/logic/Recovery.h"

#include "platform/Process.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace torvane::app {
namespace {

namespace fs = std::filesystem;

constexpr const char kMagic[] = "TORVANE-RECOVERY 1\n";
constexpr const char kSuffix[] = ".rec";
constexpr int kPrivateFile = 0600;

} // namespace

// This start's part of the file names.
static std::string RunPrefix() {
    std::random_device random;
    char run[16];
    std::snprintf(run, sizeof run, "%08x", static_cast<unsigned>(random()));
    return std::to_string(platform::CurrentProcessId()) + "." + run + "-";
}

TRecoveryStore::TRecoveryStore(std::string folder) : ownPrefix_(RunPrefix()), folder_(std::move(folder)) {
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

std::string TRecoveryStore::DefaultFolder() {
    return platform::StateDirectory() + "torvane/";
}

bool TRecoveryStore::Prepare() {
    ready_ = platform::EnsurePrivateDirectory(folder_.substr(0, folder_.size() - 1));
    return ready_;
}

std::string TRecoveryStore::FileOf(int document) const {
    return folder_ + ownPrefix_ + std::to_string(document) + kSuffix;
}

bool TRecoveryStore::Write(int document, const std::string& originalName, const std::string& text) {
    if (!ready_) return false;
    std::string bytes = kMagic + std::to_string(originalName.size()) + "\n" + originalName;
    bytes += text;
    return platform::SaveFileSafely(FileOf(document), bytes, nullptr, kPrivateFile);
}

void TRecoveryStore::Remove(int document) {
    if (!ready_) return;
    std::error_code ec;
    fs::remove(FileOf(document), ec);
}

void TRecoveryStore::RemoveOwn() {
    if (!ready_) return;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(ownPrefix_) && name.ends_with(kSuffix)) fs::remove(entry.path(), ec);
    }
}

std::optional<RecoveryEntry> TRecoveryStore::Parse(const std::string& bytes) {
    const size_t magic = sizeof kMagic - 1;
    if (bytes.compare(0, magic, kMagic) != 0) return std::nullopt;
    const size_t eol = bytes.find('\n', magic);
    if (eol == std::string::npos || eol == magic || eol - magic > 9) return std::nullopt;
    const std::string digits = bytes.substr(magic, eol - magic);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const size_t length = std::stoul(digits);
    if (length == 0 || bytes.size() - (eol + 1) < length) return std::nullopt;
    RecoveryEntry entry;
    entry.originalName = bytes.substr(eol + 1, length);
    entry.text = bytes.substr(eol + 1 + length);
    return entry;
}

std::vector<RecoveryEntry> TRecoveryStore::Pending() const {
    std::vector<std::pair<fs::file_time_type, RecoveryEntry>> found;
    if (!ready_) return {};
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(folder_, ec)) {
        const std::string name = file.path().filename().string();
        if (!name.ends_with(kSuffix) || name.starts_with(ownPrefix_)) continue;
        if (!file.is_regular_file(ec) || file.is_symlink(ec)) continue;
        std::ifstream in(file.path(), std::ios::binary);
        std::optional<RecoveryEntry> entry =
            Parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        if (!entry) continue;
        entry->path = file.path().string();
        found.emplace_back(file.last_write_time(ec), std::move(*entry));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<RecoveryEntry> entries;
    for (auto& [time, entry] : found)
        entries.push_back(std::move(entry));
    return entries;
}

void TRecoveryStore::Discard(const RecoveryEntry& entry) {
    std::error_code ec;
    fs::remove(entry.path, ec);
}

} // namespace torvane::app
