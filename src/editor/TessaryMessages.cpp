// The message interface of TCustomTessary: Perform and what only the
// messages use. The typed operations it maps to live in Tessary.cpp.

#include "editor/Tessary.h"

#include <cstring>
#include <optional>

namespace torvane::editor {
namespace {

template <typename T> T* Ptr(intptr_t value) {
    return reinterpret_cast<T*>(value);
}
template <typename T> T* Ptr(uintptr_t value) {
    return reinterpret_cast<T*>(value);
}

// The rich format the kCopy* bits ask for, if any (RTF wins when both are set).
std::optional<TSaveFormat> RichFormatOfCopyFlags(uintptr_t flags) {
    if (flags & kCopyRTF) return sfRTF;
    if (flags & kCopyHTML) return sfHTML;
    return std::nullopt;
}

TLineEnd LineEndOfCopyFlags(uintptr_t flags) {
    if (flags & kCopyLF) return TLineEnd::LF;
    return flags & kCopyCRLF ? TLineEnd::CRLF : TLineEnd::CR;
}

} // namespace

std::string TCustomTessary::SelectionBytes(uintptr_t copyFlags) const {
    TMemoryStream out;
    if (const auto rich = RichFormatOfCopyFlags(copyFlags))
        WriteRich(out, *rich, SelStart(), SelEnd());
    else
        store_->WriteRange(out, SelStart(), SelEnd(), LineEndOfCopyFlags(copyFlags));
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

intptr_t TCustomTessary::GetTokens(uintptr_t wParam, uint8_t* out) const {
    TLineIndex first = 0, last = store_->LineCount() - 1;
    if (const int32_t* range = Ptr<const int32_t>(wParam)) {
        first = std::max(range[0], 0);
        last = std::min(range[1], store_->LineCount() - 1);
    }
    intptr_t n = 0;
    for (TLineIndex i = first; i <= last; ++i) {
        const std::span<const uint8_t> styles = store_->NodeStyles(i);
        const size_t len = store_->Node(i).length;
        if (styles.empty())
            std::memset(out + n, 0, len);
        else
            std::memcpy(out + n, styles.data(), len);
        n += static_cast<intptr_t>(len);
    }
    return n;
}

void TCustomTessary::SetTokens(uintptr_t wParam, const uint8_t* in) {
    TLineIndex first = 0, last = store_->LineCount() - 1;
    if (const int32_t* range = Ptr<const int32_t>(wParam)) {
        first = std::max(range[0], 0);
        last = std::min(range[1], store_->LineCount() - 1);
    }
    for (TLineIndex i = first; i <= last; ++i) {
        const size_t len = store_->Node(i).length;
        store_->SetNodeStyles(i, std::span<const uint8_t>(in, len));
        store_->SetNodeState(i, store_->Node(i).state | kStateRepaint | kStateRehighlight);
        in += len;
    }
    InvalidateLines(first, last);
}

intptr_t TCustomTessary::PosFromChar(TOffset offset, int32_t* point) {
    int x = 0, y = 0;
    if (!point || !geometry_.PointOfOffset(offset, &x, &y)) return 0;
    point[0] = x;
    point[1] = y;
    return 1;
}

intptr_t TCustomTessary::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    // A message reports its change when it returns, the handlers' included.
    Batch batch(*this);
    const bool set = (wParam & kSet) != 0;
    switch (msg) {
    case WM_SETTEXT: {
        const char* text = Ptr<const char>(lParam);
        TMemoryStream in;
        if (text) in.WriteBuffer(text, std::strlen(text));
        in.SetPosition(0);
        LoadFromStream(in);
        return 1;
    }
    case WM_GETTEXT: {
        char* out = Ptr<char>(lParam);
        if (!out || wParam == 0) return 0;
        const std::string text = store_->PlainText(store_->LineEndOf(sfTEXT));
        const size_t n = std::min<size_t>(text.size(), wParam - 1);
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
        return static_cast<intptr_t>(n);
    }
    case WM_GETTEXTLENGTH:
        return store_->TextLength();
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTab_ ? uint32_t{DLGC_WANTTAB} : 0u);
    case EM_GETSEL: {
        if (auto* a = Ptr<int32_t>(wParam)) *a = anchor_;
        if (auto* c = Ptr<int32_t>(lParam)) *c = caret_;
        return (SelStart() & 0xFFFF) | (static_cast<intptr_t>(SelEnd() & 0xFFFF) << 16);
    }
    case EM_SETSEL: {
        const auto start = static_cast<TOffset>(static_cast<intptr_t>(wParam));
        const auto end = static_cast<TOffset>(lParam);
        if (start == 0 && end == -1)
            SetSelection(0, store_->TextLength(), true);
        else if (start < 0)
            SetSelection(caret_, caret_, true); // -1 takes the selection away
        else
            SetSelection(start, end < 0 ? store_->TextLength() : end, true);
        return 1;
    }
    case EM_LINESCROLL:
        SetLeftColumn(leftColumn_ + static_cast<int32_t>(static_cast<intptr_t>(wParam)));
        SetTopLine(topLine_ + static_cast<TLineIndex>(lParam));
        return 1;
    case EM_SCROLLCARET:
        SetSelection(anchor_, caret_, false);
        return 1;
    case EM_GETMODIFY:
        return Modified();
    case EM_SETMODIFY:
        SetModified(wParam != 0);
        return 0;
    case EM_GETLINECOUNT:
        return std::max<TLineIndex>(1, store_->LineCount());
    case EM_LINEINDEX: {
        auto line = static_cast<TLineIndex>(static_cast<intptr_t>(wParam));
        if (line == -1) line = store_->LineOfOffset(caret_);
        return line < 0 || line >= store_->LineCount() ? -1 : store_->LineStart(line);
    }
    case EM_LINELENGTH: {
        auto offset = static_cast<TOffset>(static_cast<intptr_t>(wParam));
        if (offset == -1) offset = caret_;
        return static_cast<intptr_t>(store_->LineText(store_->LineOfOffset(offset)).size());
    }
    case EM_REPLACESEL:
    case TEM_REPLACESEL: {
        if (readOnly_) return 0;
        const char* text = Ptr<const char>(lParam);
        SetSelText(text ? std::string_view(text) : std::string_view());
        return 1;
    }
    case WM_CLEAR:
        if (readOnly_ || anchor_ == caret_) return 0;
        SetSelText({});
        return 1;
    case EM_GETLINE: {
        auto line = static_cast<TLineIndex>(static_cast<intptr_t>(wParam));
        char* buffer = Ptr<char>(lParam);
        if (!buffer || line < 0 || line >= store_->LineCount()) return 0;
        uint16_t size = 0;
        std::memcpy(&size, buffer, sizeof size);
        const std::string text = store_->LineText(line);
        const size_t n = std::min<size_t>(size, text.size());
        std::memcpy(buffer, text.data(), n);
        return static_cast<intptr_t>(n);
    }
    case EM_CANUNDO:
        return CanUndo();
    case EM_UNDO:
    case WM_UNDO:
        Undo();
        return 1;
    case EM_LINEFROMCHAR: {
        auto offset = static_cast<TOffset>(static_cast<intptr_t>(wParam));
        return store_->LineOfOffset(offset == -1 ? caret_ : offset);
    }
    case EM_EMPTYUNDOBUFFER:
        if (TUndoStack* log = Log()) log->Clear();
        return 0;
    case EM_GETFIRSTVISIBLELINE:
        return topLine_;
    case EM_POSFROMCHAR:
        return PosFromChar(static_cast<TOffset>(static_cast<intptr_t>(wParam)), Ptr<int32_t>(lParam));
    case EM_CHARFROMPOS:
        return geometry_.OffsetAtPoint(static_cast<int>(static_cast<intptr_t>(wParam)),
                                       static_cast<int>(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL:
        Scroll(msg == WM_VSCROLL, static_cast<uint32_t>(wParam & 0xFFFF), static_cast<int32_t>(wParam >> 16));
        return 0;
    case WM_DROPFILES:
        return DropFiles(Ptr<const TDroppedFiles>(wParam));
    case WM_COPY:
        return Copy();
    case WM_CUT:
        return Cut();
    case WM_PASTE:
        return Paste();
    case EM_CANPASTE:
        return CanPaste();

    case TEM_SELECTION: {
        auto* pair = Ptr<int32_t>(lParam);
        if (!pair) return 0;
        if (set) {
            if (pair[0] == -1)
                SetSelection(0, store_->TextLength(), !(wParam & kNoRepaint));
            else
                SetSelection(pair[0], pair[1], !(wParam & kNoRepaint));
        } else {
            pair[0] = anchor_;
            pair[1] = caret_;
        }
        return 1;
    }
    case TEM_OPTIONS:
        if (!set) return options_;
        SetOptions(static_cast<uint32_t>(lParam));
        return 1;
    case TEM_PAINTLOCK:
        if (!set) return paintLock_ > 0;
        if (lParam != 0)
            LockPaint();
        else
            UnlockPaint();
        return 1;
    case TEM_INSERTSTREAM: {
        TStream* stream = Ptr<TStream>(lParam);
        if (!stream || readOnly_) return 0;
        UndoGroup group(*this, ugReplaceSelection);
        InsertStream(*stream);
        return 1;
    }
    case TEM_WRITESELECTION: {
        TStream* stream = Ptr<TStream>(lParam);
        if (!stream) return 0;
        const int64_t before = stream->Position();
        if (const auto rich = RichFormatOfCopyFlags(wParam))
            WriteRich(*stream, *rich, SelStart(), SelEnd());
        else
            store_->WriteRange(*stream, SelStart(), SelEnd(), LineEndOfCopyFlags(wParam));
        return static_cast<intptr_t>(stream->Position() - before);
    }
    case TEM_COPYSELECTION: {
        const std::string bytes = SelectionBytes(wParam);
        if (char* out = Ptr<char>(lParam)) {
            std::memcpy(out, bytes.data(), bytes.size());
            out[bytes.size()] = '\0';
        }
        return static_cast<intptr_t>(bytes.size());
    }
    case TEM_MODIFIED:
        if (!set) return Modified();
        SetModified(lParam != 0);
        return 1;
    case TEM_TOPLINE:
        if (!set) return topLine_;
        SetTopLine(static_cast<TLineIndex>(lParam));
        return 1;
    case TEM_LEFTCOLUMN:
        if (!set) return leftColumn_;
        SetLeftColumn(static_cast<int32_t>(lParam));
        return 1;
    case TEM_CANREDO:
        return CanRedo();
    case TEM_REDO:
        Redo();
        return 1;
    case TEM_REAPPLYSETTINGS:
        if (host_) host_->SettingsChanged();
        InvalidateAll();
        return 1;
    case TEM_REHIGHLIGHTFROM:
        if (!set) return rehighlightFrom_;
        SetRehighlightFrom(static_cast<TLineIndex>(lParam));
        return 1;
    case TEM_SETTOKENS:
        if (const uint8_t* in = Ptr<const uint8_t>(lParam)) SetTokens(wParam, in);
        return 1;
    case TEM_GETTOKENS:
        if (uint8_t* out = Ptr<uint8_t>(lParam)) return GetTokens(wParam, out);
        return 0;
    case TEM_UNDOLOG:
        if (!set) return reinterpret_cast<intptr_t>(store_->UndoLog());
        store_->AttachUndoLog(Ptr<TUndoStack>(lParam));
        ActiveLog();
        return 1;
    case TEM_TEXTSTORE: {
        auto* shared = Ptr<std::shared_ptr<TTextStore>>(lParam);
        if (!shared) return 0;
        if (wParam == 0)
            *shared = store_;
        else
            SetStore(*shared);
        return 1;
    }
    case TEM_VERSION: {
        static const std::string version = std::string("<TTessary>:") + kVersion;
        return reinterpret_cast<intptr_t>(version.c_str());
    }
    default: {
        intptr_t result = 0;
        // A copy: a handler may remove itself.
        const std::vector<TTessaryMessageHandler*> handlers = handlers_;
        for (TTessaryMessageHandler* handler : handlers)
            if (handler->HandleMessage(msg, wParam, lParam, result)) return result;
        return 0;
    }
    }
}

} // namespace torvane::editor
