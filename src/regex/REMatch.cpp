// The matcher of TREParser. It runs the node program depth-first like a
// recursive backtracking matcher would, but keeps its choice points in a
// vector: a pending alternative of a BRANCH chain, or the shorter runs of a
// STAR/PLUS still to try. Failing pops the latest choice point and restores
// the stream position, the slot count, the open group slot and the counter
// registers (through a trail of counter changes) to what they were there.
#include "common/Messages.h"
#include "regex/RENodes.h"
#include "regex/REParser.h"

#include <algorithm>

namespace torvane {

using namespace re;

namespace {

constexpr int kMaxFirstCharDepth = 16;

[[noreturn]] void RaiseSearchError(int& errorId, int id) {
    errorId = id;
    throw ERegExpError(id, 0);
}

} // namespace

TREPos TREParser::Position(int index) const {
    if (index < 0 || index >= kSlotCount) throw ERegExpError(msg::SREIndexRange, 0);
    return fSlots[static_cast<size_t>(index)];
}

inline void TREParser::Spend() {
    if (++fSteps > fStepLimit) RaiseSearchError(fErrorId, msg::SRegExpTooComplex);
}

void TREParser::FillSlot(TREPos position) {
    if (fSlotCount >= kSlotCount - 1) RaiseSearchError(fErrorId, msg::SREIndexRange);
    fSlots[static_cast<size_t>(fSlotCount++)] = position;
    fSlotsDirty = std::max(fSlotsDirty, fSlotCount);
}

void TREParser::SetCounter(int counter, std::int32_t value) {
    fTrail.push_back({static_cast<std::uint8_t>(counter), fCounters[static_cast<size_t>(counter)]});
    fCounters[static_cast<size_t>(counter)] = value;
}

// Characters of a run that the single-width operand at `operand` matches,
// from the current position on; the stream ends up after the run.
std::int32_t TREParser::CountRun(int operand) {
    const std::uint8_t op = fProgram[static_cast<size_t>(operand)];
    const std::uint8_t* table = &fProgram[static_cast<size_t>(operand) + kNodeHeader];
    const int literal = table[0];
    std::int32_t count = 0;
    for (; !fStream->AtEnd(); ++count) {
        int c = fStream->Peek();
        bool member;
        switch (op) {
        case ANY:
            member = c != 13;
            break;
        case ANYOF:
            member = c != 0 && table[c];
            break;
        case ANYBUT:
            member = c != 0 && !table[c];
            break;
        case EXACTLY:
            member = literal != 0 && c == literal;
            break;
        default:
            member = false;
        }
        if (!member) break;
        Spend();
        fStream->Next();
    }
    return count;
}

// Moves a STAR/PLUS run down from `count` (the stream standing after it) to
// the longest run of at least `minimum` after which `lookAhead` (a literal's
// first character, or -1 for none) stands. Returns the run or -1.
static std::int32_t FitRun(TRECharSource* stream, std::int32_t count, std::int32_t minimum, int lookAhead) {
    for (;;) {
        if (count < minimum) return -1;
        if (lookAhead < 0 || (!stream->AtEnd() && stream->Peek() == lookAhead)) return count;
        if (count == minimum) return -1;
        --count;
        stream->Back();
    }
}

static int LookAheadOf(const std::vector<std::uint8_t>& program, int next) {
    if (next == 0 || program[static_cast<size_t>(next)] != EXACTLY) return -1;
    return program[static_cast<size_t>(next) + kNodeHeader];
}

// Pops choice points until one yields a way to go on; sets `pc` to it.
bool TREParser::Backtrack(int& pc) {
    while (!fChoices.empty()) {
        ChoicePoint& cp = fChoices.back();
        while (fTrail.size() > cp.trail) {
            fCounters[fTrail.back().counter] = fTrail.back().old;
            fTrail.pop_back();
        }
        fSlotCount = cp.slotCount;
        fGroupSlot = cp.groupSlot;
        Spend();
        if (cp.star == 0) {
            fStream->SetPosition(cp.position);
            int branch = cp.pc;
            int next = NextOf(fProgram, branch);
            if (next != 0 && fProgram[static_cast<size_t>(next)] == BRANCH)
                cp.pc = next;
            else
                fChoices.pop_back();
            pc = branch + kNodeHeader;
            return true;
        }
        const std::int32_t minimum = fProgram[static_cast<size_t>(cp.star)] == PLUS ? 1 : 0;
        std::int32_t count = cp.count - 1;
        fStream->SetPosition(cp.position + count);
        count = FitRun(fStream, count, minimum, LookAheadOf(fProgram, cp.pc));
        if (count < 0) {
            fChoices.pop_back();
            continue;
        }
        pc = cp.pc;
        if (count > minimum)
            cp.count = count;
        else
            fChoices.pop_back();
        return true;
    }
    return false;
}

// Runs the program at the stream's current position.
bool TREParser::MatchHere() {
    fChoices.clear();
    fTrail.clear();
    int pc = 1;
    for (;;) {
        Spend();
        bool ok = true;
        const std::uint8_t op = pc == 0 ? std::uint8_t{NOTHING} : fProgram[static_cast<size_t>(pc)];
        const int next = pc == 0 ? 0 : NextOf(fProgram, pc);
        if (pc == 0) {
            ok = false; // an unlinked node: a dead end
        } else if (IsOpen(op)) {
            FillSlot(fStream->Position());
            if (op == OPEN + 1) fGroupSlot = fSlotCount;
            pc = next;
        } else if (IsClose(op)) {
            if (op == CLOSE + 1 && fGroupSlot >= 0) {
                fSlotCount = fGroupSlot + 1;
                fGroupSlot = -1;
            }
            pc = next;
        } else {
            switch (op) {
            case END:
                for (int i = 0; i < 3 && fSlotCount + i < kSlotCount; ++i)
                    fSlots[static_cast<size_t>(fSlotCount + i)] = fStream->Position();
                fSlotsDirty = std::max(fSlotsDirty, std::min(fSlotCount + 3, kSlotCount));
                return true;
            case BOL:
                if (!fStream->AtEnd() && fStream->Peek() == 13) {
                    fStream->Next();
                } else if (fStream->Position() > 0) {
                    // Just after a line break the line has begun as well.
                    fStream->Back();
                    ok = fStream->Peek() == 13;
                    fStream->Next();
                }
                pc = next;
                break;
            case EOL:
                ok = fStream->AtEnd() || fStream->Peek() == 13;
                if (ok) FillSlot(fStream->Position());
                pc = next;
                break;
            case ANY:
            case ANYOF:
            case ANYBUT: {
                int c = fStream->Peek();
                const std::uint8_t* table = &fProgram[static_cast<size_t>(pc) + kNodeHeader];
                if (fStream->AtEnd())
                    ok = false;
                else if (op == ANY)
                    ok = c != 13;
                else
                    ok = c != 0 && (table[c] != 0) == (op == ANYOF);
                if (ok) {
                    FillSlot(fStream->Position());
                    fStream->Next();
                }
                pc = next;
                break;
            }
            case EXACTLY: {
                const std::uint8_t* lit = &fProgram[static_cast<size_t>(pc) + kNodeHeader];
                TREPos start = fStream->Position();
                ok = lit[0] != 0;
                for (; ok && *lit; ++lit) {
                    if (fStream->AtEnd() || fStream->Peek() != *lit)
                        ok = false;
                    else
                        fStream->Next();
                }
                if (ok) FillSlot(start);
                pc = next;
                break;
            }
            case BRANCH:
                if (next != 0 && fProgram[static_cast<size_t>(next)] == BRANCH) {
                    if (fChoices.size() >= fLimits.choicePoints)
                        RaiseSearchError(fErrorId, msg::SRegExpTooComplex);
                    fChoices.push_back(
                        {next, 0, fStream->Position(), 0, static_cast<std::int16_t>(fSlotCount),
                         static_cast<std::int16_t>(fGroupSlot), static_cast<std::uint32_t>(fTrail.size())});
                }
                pc += kNodeHeader;
                break;
            case BACK:
            case NOTHING:
                pc = next;
                break;
            case STAR:
            case PLUS: {
                const TREPos start = fStream->Position();
                FillSlot(start);
                const std::int32_t minimum = op == PLUS ? 1 : 0;
                std::int32_t count = CountRun(pc + kNodeHeader);
                count = FitRun(fStream, count, minimum, LookAheadOf(fProgram, next));
                ok = count >= 0;
                if (ok && count > minimum) {
                    if (fChoices.size() >= fLimits.choicePoints)
                        RaiseSearchError(fErrorId, msg::SRegExpTooComplex);
                    fChoices.push_back({next, pc, start, count, static_cast<std::int16_t>(fSlotCount),
                                        static_cast<std::int16_t>(fGroupSlot),
                                        static_cast<std::uint32_t>(fTrail.size())});
                }
                pc = next;
                break;
            }
            case SET: {
                const std::uint8_t* p = &fProgram[static_cast<size_t>(pc)];
                SetCounter(p[3], p[4] | (p[5] << 8));
                pc = next;
                break;
            }
            case DEC: {
                int counter = fProgram[static_cast<size_t>(pc) + 3];
                SetCounter(counter, fCounters[static_cast<size_t>(counter)] - 1);
                pc = next;
                break;
            }
            case TEST:
                pc += fCounters[fProgram[static_cast<size_t>(pc) + 3]] == 0 ? kTestZeroSkip : kTestMoreSkip;
                break;
            case IFGT:
            case IFLE: {
                bool positive = fCounters[fProgram[static_cast<size_t>(pc) + 3]] > 0;
                pc = positive == (op == IFGT) ? next : next + kNodeHeader;
                break;
            }
            default:
                RaiseSearchError(fErrorId, msg::SREInvalidParameter);
            }
        }
        if (!ok && !Backtrack(pc)) return false;
    }
}

bool TREParser::Execute(TRECharSource* stream, bool forward) {
    fErrorId = 0;
    fStream = stream;
    if (fProgramSize == 0 || stream == nullptr || fProgram[0] != kMagic)
        RaiseSearchError(fErrorId, msg::SREInvalidParameter);
    if (!forward && stream->AtEnd()) {
        if (stream->Position() < 1) return false;
        stream->Back();
    }
    fSteps = 0;
    std::uint64_t starts = 0;
    for (;;) {
        if (fHasFirstChars) {
            // No match can begin on a character outside fFirstChars, so those
            // start positions are passed over without running the program.
            const TREPos before = stream->Position();
            const bool any = stream->SkipToAnyOf(fFirstChars, forward);
            starts += static_cast<std::uint64_t>(forward ? stream->Position() - before
                                                         : before - stream->Position());
            if (!any) return false;
        }
        ++starts;
        const TREPos start = stream->Position();
        std::fill(fSlots.begin(), fSlots.begin() + fSlotsDirty, -1);
        fSlotsDirty = 0;
        fSlotCount = 0;
        fGroupSlot = -1;
        fStepLimit = std::min(fSteps + fLimits.attempt, fLimits.base + fLimits.perStart * starts);
        if (MatchHere()) {
            fAttempt = start;
            return true;
        }
        stream->SetPosition(start);
        if (forward) {
            if (stream->AtEnd()) return false;
            stream->Next();
        } else {
            if (start == 0) return false;
            stream->Back();
        }
    }
}

// Collects into `set` every character on which a match of the program from
// `node` can begin; false when that cannot be told from the leading nodes.
bool TREParser::FirstCharsFrom(int node, std::array<bool, 256>& set, int depth) const {
    if (depth > kMaxFirstCharDepth) return false;
    for (;;) {
        if (node == 0) return false;
        const std::uint8_t op = fProgram[static_cast<size_t>(node)];
        const std::uint8_t* operand = &fProgram[static_cast<size_t>(node) + kNodeHeader];
        if (IsOpen(op) || op == SET) {
            node = NextOf(fProgram, node);
            continue;
        }
        switch (op) {
        case BRANCH: {
            int next = NextOf(fProgram, node);
            if (next == 0 || fProgram[static_cast<size_t>(next)] != BRANCH) {
                node += kNodeHeader;
                continue;
            }
            for (int b = node; b != 0 && fProgram[static_cast<size_t>(b)] == BRANCH; b = NextOf(fProgram, b))
                if (!FirstCharsFrom(b + kNodeHeader, set, depth + 1)) return false;
            return true;
        }
        case PLUS:
            node += kNodeHeader;
            continue;
        case EXACTLY:
            if (operand[0] != 0) set[operand[0]] = true;
            return true;
        case ANY:
            for (int c = 0; c < 256; ++c)
                if (c != 13) set[static_cast<size_t>(c)] = true;
            return true;
        case ANYOF:
        case ANYBUT:
            for (int c = 1; c < 256; ++c)
                if ((operand[c] != 0) == (op == ANYOF)) set[static_cast<size_t>(c)] = true;
            return true;
        default:
            return false;
        }
    }
}

void TREParser::ComputeFirstChars() {
    fFirstChars.fill(false);
    fHasFirstChars = FirstCharsFrom(1, fFirstChars, 0);
}

} // namespace torvane
