#include "asm51/Symbols.h"

#include <algorithm>

namespace torvane::asm51 {

namespace {

struct Builtin {
    const char* name;
    int value;
    SymbolType type;
};

constexpr auto D = SymbolType::Data;
constexpr auto B = SymbolType::Bit;

// clang-format off
constexpr Builtin k8051[] = {
    {"P0", 0x80, D}, {"SP", 0x81, D}, {"DPL", 0x82, D}, {"DPH", 0x83, D}, {"PCON", 0x87, D},
    {"TCON", 0x88, D}, {"TMOD", 0x89, D}, {"TL0", 0x8A, D}, {"TL1", 0x8B, D}, {"TH0", 0x8C, D},
    {"TH1", 0x8D, D}, {"P1", 0x90, D}, {"SCON", 0x98, D}, {"SBUF", 0x99, D}, {"P2", 0xA0, D},
    {"IE", 0xA8, D}, {"P3", 0xB0, D}, {"IP", 0xB8, D}, {"PSW", 0xD0, D}, {"ACC", 0xE0, D}, {"B", 0xF0, D},
    {"IT0", 0x88, B}, {"IE0", 0x89, B}, {"IT1", 0x8A, B}, {"IE1", 0x8B, B},
    {"TR0", 0x8C, B}, {"TF0", 0x8D, B}, {"TR1", 0x8E, B}, {"TF1", 0x8F, B},
    {"RI", 0x98, B}, {"TI", 0x99, B}, {"RB8", 0x9A, B}, {"TB8", 0x9B, B},
    {"REN", 0x9C, B}, {"SM2", 0x9D, B}, {"SM1", 0x9E, B}, {"SM0", 0x9F, B},
    {"EX0", 0xA8, B}, {"ET0", 0xA9, B}, {"EX1", 0xAA, B}, {"ET1", 0xAB, B}, {"ES", 0xAC, B}, {"EA", 0xAF, B},
    {"RXD", 0xB0, B}, {"TXD", 0xB1, B}, {"INT0", 0xB2, B}, {"INT1", 0xB3, B},
    {"T0", 0xB4, B}, {"T1", 0xB5, B}, {"WR", 0xB6, B}, {"RD", 0xB7, B},
    {"PX0", 0xB8, B}, {"PT0", 0xB9, B}, {"PX1", 0xBA, B}, {"PT1", 0xBB, B}, {"PS", 0xBC, B},
    {"P", 0xD0, B}, {"OV", 0xD2, B}, {"RS0", 0xD3, B}, {"RS1", 0xD4, B}, {"F0", 0xD5, B},
    {"AC", 0xD6, B}, {"CY", 0xD7, B},
};

constexpr Builtin k8052[] = {
    {"T2CON", 0xC8, D}, {"RCAP2L", 0xCA, D}, {"RCAP2H", 0xCB, D}, {"TL2", 0xCC, D}, {"TH2", 0xCD, D},
    {"CP_RL2", 0xC8, B}, {"C_T2", 0xC9, B}, {"TR2", 0xCA, B}, {"EXEN2", 0xCB, B}, {"TCLK", 0xCC, B},
    {"RCLK", 0xCD, B}, {"EXF2", 0xCE, B}, {"TF2", 0xCF, B}, {"ET2", 0xAD, B}, {"PT2", 0xBD, B},
    {"T2", 0x90, B}, {"T2EX", 0x91, B},
};
// clang-format on

Symbol Make(const Builtin& b) {
    Symbol s;
    s.value = b.value;
    s.type = b.type;
    return s;
}

const std::unordered_map<std::string, Symbol>& BuiltinTable(bool with8052) {
    static const auto make = [](bool extended) {
        std::unordered_map<std::string, Symbol> table;
        for (const Builtin& b : k8051)
            table[b.name] = Make(b);
        if (extended)
            for (const Builtin& b : k8052)
                table[b.name] = Make(b);
        return table;
    };
    static const auto base = make(false), extended = make(true);
    return with8052 ? extended : base;
}

} // namespace

const char* TypeName(SymbolType type) {
    switch (type) {
    case SymbolType::Number:
        return "NUMBER";
    case SymbolType::Code:
        return "CODE";
    case SymbolType::Data:
        return "DATA";
    case SymbolType::IData:
        return "IDATA";
    case SymbolType::XData:
        return "XDATA";
    case SymbolType::Bit:
        return "BIT";
    case SymbolType::Register:
        return "REG";
    }
    return "";
}

void SymbolTable::BeginPass() {
    lastValues_.clear();
    for (auto it = symbols_.begin(); it != symbols_.end();) {
        Symbol& s = it->second;
        if (!s.definedThisPass) {
            it = symbols_.erase(it);
            continue;
        }
        if (!s.redefinable) lastValues_[it->first] = s.value;
        s.definedLastPass = true;
        s.definedThisPass = false;
        ++it;
    }
}

bool SymbolTable::ChangedSinceLastPass() const {
    size_t count = 0;
    for (const auto& [name, s] : symbols_) {
        if (s.redefinable || !s.definedThisPass) {
            if (!s.definedThisPass && s.definedLastPass) return true;
            continue;
        }
        ++count;
        auto last = lastValues_.find(name);
        if (last == lastValues_.end() || last->second != s.value) return true;
    }
    return count != lastValues_.size();
}

const Symbol* SymbolTable::FindPredefined(const std::string& name) const {
    if (predefined_ == Predefined::None) return nullptr;
    const auto& table = BuiltinTable(predefined_ == Predefined::Mod52);
    auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

std::string SymbolTable::Define(const std::string& name, const Symbol& symbol) {
    if (const Symbol* builtin = FindPredefined(name)) {
        if (builtin->value != symbol.value || symbol.type == SymbolType::Register)
            return "'" + name + "' is a predefined " + TypeName(builtin->type) + " symbol with another value";
    }
    auto it = symbols_.find(name);
    if (it != symbols_.end() && it->second.definedThisPass) {
        Symbol& old = it->second;
        // A header read twice defines the same names with the same values again.
        const bool same = !old.redefinable && !symbol.redefinable && old.type == symbol.type &&
                          old.value == symbol.value && old.reg == symbol.reg;
        if (same) return {};
        if (!(old.redefinable && symbol.redefinable))
            return "'" + name + "' is already defined" +
                   (old.redefinable || symbol.redefinable ? " (SET and EQU mixed)" : "");
    }
    Symbol& s = symbols_[name];
    const bool last = it != symbols_.end() && it->second.definedLastPass;
    s = symbol;
    s.definedThisPass = true;
    s.definedLastPass = last;
    return {};
}

const Symbol* SymbolTable::Find(const std::string& name) const {
    auto it = symbols_.find(name);
    if (it != symbols_.end() && (it->second.definedThisPass || it->second.definedLastPass))
        return &it->second;
    return FindPredefined(name);
}

bool SymbolTable::DefinedSoFar(const std::string& name) const {
    auto it = symbols_.find(name);
    return (it != symbols_.end() && it->second.definedThisPass) || FindPredefined(name);
}

std::vector<std::pair<std::string, Symbol>> SymbolTable::Sorted() const {
    std::vector<std::pair<std::string, Symbol>> out;
    for (const auto& [name, s] : symbols_)
        if (s.definedThisPass) out.emplace_back(name, s);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

} // namespace torvane::asm51
