#pragma once
// The symbol table across passes, and the predefined SFRs and bits.
//
// Every pass defines the symbols afresh. A name used before its definition
// takes the value the previous pass gave it, so the passes repeat until no
// value changes. Names ignore case (they are stored in upper case).
//
// The 8051's own SFRs and bits are predefined (with $MOD52 the 8052's timer 2
// as well; $NOMOD51 switches them off for headers that define their own). A
// source may define a predefined name again with the same value, as device
// headers do; another value is an error.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace torvane::asm51 {

enum class SymbolType { Number, Code, Data, IData, XData, Bit, Register };

const char* TypeName(SymbolType type);

struct Symbol {
    int64_t value = 0;
    SymbolType type = SymbolType::Number;
    bool redefinable = false; // SET
    std::string reg;          // SymbolType::Register: "R0".."R7", "A" ...
    bool definedThisPass = false;
    bool definedLastPass = false;
};

enum class Predefined { None, Mod51, Mod52 };

class SymbolTable {
public:
    void BeginPass();
    // True when some value differs from the previous pass (or a name came or went).
    bool ChangedSinceLastPass() const;

    // Defines `name` (upper case); returns an error text or empty.
    std::string Define(const std::string& name, const Symbol& symbol);
    // The symbol this pass or, for a forward reference, the last pass.
    const Symbol* Find(const std::string& name) const;
    bool DefinedSoFar(const std::string& name) const;

    void SetPredefined(Predefined set) { predefined_ = set; }
    const Symbol* FindPredefined(const std::string& name) const;

    // In name order, for the listing.
    std::vector<std::pair<std::string, Symbol>> Sorted() const;

private:
    std::unordered_map<std::string, Symbol> symbols_;
    std::unordered_map<std::string, int64_t> lastValues_;
    Predefined predefined_ = Predefined::Mod51;
};

} // namespace torvane::asm51
