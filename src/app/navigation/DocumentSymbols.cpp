#include "app/navigation/DocumentSymbols.h"

#include "app/AppLogic.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/navigation/NavigationTexts.h"
#include "common/IncludeList.h"
#include "common/IniFile.h"
#include "editor/TextStore.h"

#include <QFile>
#include <QVariant>

namespace torvane::app {
namespace {

constexpr char kDialectProperty[] = "torvaneDialect";

// AVR sources start their directives with "."; 8051 sources never do.
symbols::TDialect GuessDialect(const editor::TTextStore& store) {
    const int lines = std::min(store.LineCount(), 200);
    for (int i = 0; i < lines; ++i) {
        const std::string line = store.LineText(i);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        if (line[first] == '.') return symbols::TDialect::Avr;
        if (line[first] == '$') return symbols::TDialect::Asm51;
    }
    return symbols::TDialect::Asm51;
}

} // namespace

symbols::TDialect DialectOf(TEditWin& win) {
    if (win.HighlightAssembler == Assembler::AvrAsm) return symbols::TDialect::Avr;
    if (win.HighlightAssembler == Assembler::Asem51) return symbols::TDialect::Asm51;
    const QVariant remembered = win.property(kDialectProperty);
    if (remembered.isValid()) return static_cast<symbols::TDialect>(remembered.toInt());
    return GuessDialect(win.sMemo->Store());
}

void SetDialect(TEditWin& win, symbols::TDialect dialect) {
    win.setProperty(kDialectProperty, static_cast<int>(dialect));
}

QString KindText(symbols::TSymbolKind kind) {
    using K = symbols::TSymbolKind;
    switch (kind) {
    case K::Label:
        return QString::fromUtf8(text::kKindLabel);
    case K::Equ:
        return QString::fromUtf8(text::kKindEqu);
    case K::Set:
        return QString::fromUtf8(text::kKindSet);
    case K::Def:
        return QString::fromUtf8(text::kKindDef);
    case K::Macro:
        return QString::fromUtf8(text::kKindMacro);
    case K::Segment:
        return QString::fromUtf8(text::kKindSegment);
    case K::Proc:
        return QString::fromUtf8(text::kKindProc);
    case K::Device:
        return QString::fromUtf8(text::kKindDevice);
    default:
        return QString::fromLatin1(symbols::KindName(kind).data()).toUpper(); // DATA, BIT, ...
    }
}

std::string DocumentPath(const TEditWin& win) {
    return IsUntitled(win.FileName) ? std::string() : QFile::encodeName(win.FileName).toStdString();
}

TEditWin* TOpenDocuments::Document(const std::string& path) {
    const std::string id = disk_.Identity(path);
    for (TEditWin* win : main_.EditWindows()) {
        const std::string own = DocumentPath(*win);
        if (!own.empty() && disk_.Identity(own) == id) return win;
    }
    return nullptr;
}

std::optional<uint64_t> TOpenDocuments::FileSize(const std::string& path) {
    if (TEditWin* win = Document(path)) return static_cast<uint64_t>(win->sMemo->Store().TextLength());
    return disk_.FileSize(path);
}

bool TOpenDocuments::Read(const std::string& path, std::string& bytes) {
    if (TEditWin* win = Document(path)) {
        bytes = win->sMemo->Store().Text();
        return true;
    }
    return disk_.Read(path, bytes);
}

symbols::TSymbolTable ScanDocument(TfrmTorvane& main, TEditWin& win, symbols::TSourceFiles& files) {
    const symbols::TDialect dialect = DialectOf(win);
    const platform::AssemblerFacts& facts =
        platform::FactsOf(dialect == symbols::TDialect::Avr ? Assembler::AvrAsm : Assembler::Asem51);
    const char* section = facts.section;
    const std::string text = win.sMemo->Store().Text();
    std::vector<std::string> folders = SplitIncludeList(main.Settings().ReadString(section, "Lib", ""));
    // After the user's folders, the device headers the front ends fall back
    // to, so names from a device file (PORTB, TMOD ...) are found as well.
    const std::string libraryDir = main.LibraryDirectoryBytes();
    folders.push_back(libraryDir + facts.deviceFolder);
    if (dialect == symbols::TDialect::Avr) folders.push_back(TORVANE_AVRA_DEVICE_FILES);
    symbols::TScanInput input{dialect, DocumentPath(win), text, std::move(folders)};
    return symbols::ScanProject(input, files);
}

std::string LineOfText(std::string_view text, int32_t line) {
    size_t start = 0;
    for (int32_t i = 0; i < line; ++i) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) return {};
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    const size_t end = text.find_first_of("\r\n", start);
    return std::string(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

} // namespace torvane::app
