// Loading and saving of the text store: streams, files, plain-text output.
#include "editor/TextStore.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "editor/UndoStack.h"
#include "platform/FileSystem.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

namespace torvane::editor {
namespace {

constexpr size_t kWriteBuffer = 1 << 16;
// A short write is retried this many times before the save gives up.
constexpr int kSaveRetries = 3;

} // namespace

void TTextStore::StartNode(uint16_t marks) {
    Block* blk = blocks_.back().get();
    if (blk->nodes.size() >= static_cast<size_t>(kBlockNodes) ||
        blk->text.size() >= static_cast<size_t>(kBlockChars)) {
        // The block is complete: drop the growth slack of its text.
        blk->text.shrink_to_fit();
        auto next = std::make_unique<Block>();
        next->nodes.reserve(kBlockNodes);
        blocks_.push_back(std::move(next));
        blk = blocks_.back().get();
    }
    TLineNode node;
    node.marks = marks;
    blk->nodes.push_back(node);
    ++lineCount_;
}

void TTextStore::AppendNormalized(const char* chars, size_t count) {
    if (static_cast<size_t>(INT32_MAX - textLength_) < count) throw ETessary(LoadStr(msg::SNotEnoughMemory));
    size_t i = 0;
    while (i < count) {
        Block& blk = *blocks_.back();
        TLineNode& node = blk.nodes.back();
        const size_t room = kMaxNodeLength - node.length;
        if (room == 0) {
            StartNode(kMarkContinuation);
            continue;
        }
        const char* p = chars + i;
        const size_t take = std::min(room, count - i);
        const void* cr = std::memchr(p, kLineBreak, take);
        const size_t seg = cr ? static_cast<size_t>(static_cast<const char*>(cr) - p) + 1 : take;
        blk.text.append(p, seg);
        if (!blk.styles.empty()) blk.styles.resize(blk.text.size(), 0);
        if (std::memchr(p, '\t', seg)) node.state |= kStateHasTab;
        node.length = static_cast<uint16_t>(node.length + seg);
        widestLine_ = std::max<int32_t>(widestLine_, node.length);
        textLength_ += static_cast<TOffset>(seg);
        i += seg;
        if (cr) StartNode(0);
    }
}

int64_t TTextStore::LoadFrom(TStream& stream) {
    if (undo_) undo_->Clear();
    ResetToEmpty();
    TTextNormalizer normalizer;
    std::vector<char> in(kChunkSize), out(kChunkSize);
    size_t carry = 0;
    int64_t total = 0;
    try {
        for (;;) {
            const size_t n = stream.Read(in.data() + carry, kChunkSize - carry);
            total += static_cast<int64_t>(n);
            size_t have = carry + n;
            if (have == 0) break;
            carry = 0;
            // A CR that ends a full block may be the first half of CR LF; it
            // is read again with the next block.
            if (have == static_cast<size_t>(kChunkSize) && in[have - 1] == '\r') {
                --have;
                carry = 1;
            }
            AppendNormalized(out.data(), normalizer.Run(in.data(), have, out.data()));
            if (carry) in[0] = '\r';
            if (n == 0 && carry == 0) break;
        }
    } catch (const std::bad_alloc&) {
        RebuildIndex();
        Notify({TTextChange::Kind::Reloaded, 0, textLength_, 0, 0});
        throw ETessary(LoadStr(msg::SNotEnoughMemory));
    } catch (...) {
        RebuildIndex();
        Notify({TTextChange::Kind::Reloaded, 0, textLength_, 0, 0});
        throw;
    }
    RebuildIndex();
    Notify({TTextChange::Kind::Reloaded, 0, textLength_, 0, 0});
    return total;
}

void TTextStore::LoadFromStream(TStream& stream) {
    LoadFrom(stream);
}

void TTextStore::LoadFromFile(const std::string& fileName) {
    auto cannotOpen = [&] { return EFOpenError(FormatStr<msg::SFileOpenForReading>(fileName.c_str())); };
    // A directory opens for reading on some systems and reads as nothing.
    if (!platform::FileExists(fileName)) throw cannotOpen();
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(fileName, TFileStream::fmOpenRead);
    } catch (const EStreamError&) {
        throw cannotOpen();
    }
    const int64_t size = file->Size();
    // A read error looks like an early end of file; a document cut short
    // that way must not pass for the whole file.
    if (LoadFrom(*file) < size) throw EReadError(LoadStr(msg::SReadError));
}

void TTextStore::SetText(std::string_view bytes) {
    if (undo_) undo_->Clear();
    ResetToEmpty();
    TTextNormalizer normalizer;
    std::vector<char> out(kChunkSize);
    try {
        for (size_t pos = 0; pos < bytes.size(); pos += kChunkSize) {
            const size_t len = std::min<size_t>(kChunkSize, bytes.size() - pos);
            AppendNormalized(out.data(), normalizer.Run(bytes.data() + pos, len, out.data()));
        }
    } catch (const std::bad_alloc&) {
        RebuildIndex();
        Notify({TTextChange::Kind::Reloaded, 0, textLength_, 0, 0});
        throw ETessary(LoadStr(msg::SNotEnoughMemory));
    }
    RebuildIndex();
    Notify({TTextChange::Kind::Reloaded, 0, textLength_, 0, 0});
}

// ---- output ------------------------------------------------------------------

TLineEnd TTextStore::LineEndOf(TSaveFormat format) const {
    switch (format) {
    case sfTEXT:
        return lineStyle_ == lsCRLF ? TLineEnd::CRLF : TLineEnd::CR;
    case sfUNIX:
        return TLineEnd::LF;
    default:
        throw std::invalid_argument("rich text formats are written by the export writers");
    }
}

void TTextStore::WriteRange(TStream& stream, TOffset start, TOffset end, TLineEnd lineEnd) const {
    start = std::clamp<TOffset>(start, 0, textLength_);
    end = std::clamp<TOffset>(end, start, textLength_);
    if (start == end) return;
    const Where w = FindOffset(start);
    std::string buf;
    buf.reserve(kWriteBuffer + 2);
    size_t left = static_cast<size_t>(end - start);
    size_t from = w.textStart + static_cast<size_t>(start - w.start);
    for (size_t b = w.block; left > 0; ++b, from = 0) {
        const std::string& t = blocks_[b]->text;
        const size_t take = std::min(t.size() - from, left);
        const char* p = t.data() + from;
        const char* const stop = p + take;
        while (p < stop) {
            const char* cr =
                static_cast<const char*>(std::memchr(p, kLineBreak, static_cast<size_t>(stop - p)));
            buf.append(p, static_cast<size_t>((cr ? cr : stop) - p));
            if (cr) {
                // Every stored CR ends a node.
                switch (lineEnd) {
                case TLineEnd::CRLF:
                    buf.append("\r\n", 2);
                    break;
                case TLineEnd::CR:
                    buf.push_back('\r');
                    break;
                case TLineEnd::LF:
                    buf.push_back('\n');
                    break;
                }
                p = cr + 1;
            } else {
                p = stop;
            }
            if (buf.size() >= kWriteBuffer) {
                stream.WriteBuffer(buf.data(), buf.size());
                buf.clear();
            }
        }
        left -= take;
    }
    stream.WriteBuffer(buf.data(), buf.size());
}

std::string TTextStore::PlainText(TLineEnd lineEnd) const {
    TMemoryStream out;
    WriteRange(out, 0, textLength_, lineEnd);
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

void TTextStore::SaveToStream(TStream* stream, TSaveFormat format) const {
    if (!stream) throw EFileSaveError(LoadStr(msg::SBadStreamInstance));
    const TLineEnd lineEnd = LineEndOf(format);
    const int64_t begin = stream->Position();
    for (int attempt = 0;; ++attempt) {
        // Any short write counts as a failed attempt, even one that happened
        // to leave at least as many bytes as the text has characters.
        bool complete = true;
        try {
            WriteRange(*stream, 0, textLength_, lineEnd);
        } catch (const EWriteError&) {
            complete = false;
        }
        if (textLength_ == 0 || (complete && stream->Position() - begin >= textLength_)) return;
        if (attempt == kSaveRetries) throw EFileSaveError(LoadStr(msg::SCouldNotSaveStream));
        stream->Seek(begin, SeekOrigin::Beginning);
    }
}

void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write) {
    // The old file stays untouched until the new text is complete on disk;
    // only then does it take the file's place (see platform::TSafeSave).
    platform::TSafeSave save(fileName);
    auto fail = [&](const std::string& reason) {
        save.Discard();
        const std::string why = save.ErrorCode() != 0 ? save.ErrorText() : reason;
        return EFileSaveError(FormatStr<msg::SFileSaveFailed>(fileName.c_str(), why.c_str()),
                              save.ErrorCode());
    };
    if (!save.Open()) throw fail({});
    try {
        TSafeSaveStream out(save);
        write(out);
    } catch (const std::exception& e) {
        throw fail(e.what());
    }
    if (!save.Commit()) throw fail({});
}

void TTextStore::SaveToFile(const std::string& fileName, TSaveFormat format) {
    WriteFileReplacing(fileName, [&](TStream& out) { SaveToStream(&out, format); });
    // Saved: nothing to undo any more, and the text counts as unmodified.
    if (undo_) undo_->Clear();
}

} // namespace torvane::editor
