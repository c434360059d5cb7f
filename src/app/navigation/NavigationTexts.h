#pragma once
// The Czech texts of navigation: go to definition, uses, the outline and the
// errors that follow the text. UTF-8.

namespace torvane::app::text {

inline constexpr char kActDefinition[] = "Přejít na &definici";
inline constexpr char kActDefinitionHint[] = "Přejít na definici názvu pod kurzorem";
inline constexpr char kActUses[] = "Najít &výskyty";
inline constexpr char kActUsesHint[] = "Vypsat všechny výskyty názvu pod kurzorem";
inline constexpr char kActNextError[] = "Další &chyba";
inline constexpr char kActNextErrorHint[] = "Přejít na další chybu překladu";
inline constexpr char kActPrevError[] = "Předchozí c&hyba";
inline constexpr char kActPrevErrorHint[] = "Přejít na předchozí chybu překladu";

inline constexpr char kOutlineTitle[] = "Návěští";
inline constexpr char kOutlineFilter[] = "Filtr";
inline constexpr char kOutlineName[] = "Název";
inline constexpr char kOutlineKind[] = "Druh";
inline constexpr char kOutlineLine[] = "Řádek";

inline constexpr char kNoNameAtCaret[] = "Pod kurzorem není žádný název.";
// Followed by the name and kDefinitionNotFoundTail.
inline constexpr char kDefinitionNotFoundHead[] = "Definice „";
inline constexpr char kDefinitionNotFoundTail[] = "“ nebyla nalezena.";
inline constexpr char kUsesCount[] = "Výskytů: ";
inline constexpr char kNoErrors[] = "Žádné chyby.";
inline constexpr char kErrorCount[] = "Chyby: ";

// Message list lines: a use ("[Výskyt] FILE(LINE): text"), clickable, and a
// navigation problem.
inline constexpr char kUsePrefix[] = "[Výskyt] ";
inline constexpr char kProblemPrefix[] = "[Navigace] ";
inline constexpr char kProblemMissing[] = "vkládaný soubor nebyl nalezen: ";
inline constexpr char kProblemUnreadable[] = "vkládaný soubor nelze přečíst: ";
inline constexpr char kProblemCycle[] = "soubor se vkládá sám do sebe: ";
inline constexpr char kProblemTooLarge[] = "vkládaný soubor je příliš velký: ";
inline constexpr char kProblemTooMany[] = "příliš mnoho vkládaných souborů, vynechán: ";
inline constexpr char kProblemTooDeep[] = "vkládání je vnořeno příliš hluboko, vynechán: ";

// Kinds of symbols as the outline and the tooltips name them.
inline constexpr char kKindLabel[] = "návěští";
inline constexpr char kKindEqu[] = "konstanta";
inline constexpr char kKindSet[] = "proměnná";
inline constexpr char kKindDef[] = "registr";
inline constexpr char kKindMacro[] = "makro";
inline constexpr char kKindSegment[] = "segment";
inline constexpr char kKindProc[] = "procedura";
inline constexpr char kKindDevice[] = "procesor";

} // namespace torvane::app::text
