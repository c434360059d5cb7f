#pragma once
// The Czech texts of the application windows, each written once. Messages
// keep their original form: "\r" is a line break and "%0:s" the file name;
// FormatCz() fills them in and MessageDlgCz() turns "\r" into a line break.

#include "platform/Names.h"

namespace torvane::app::text {

inline constexpr const char kAppTitle[] = "Torvane";
// File names shared with the rest of the program.
inline constexpr const char* kSettingsFile = platform::kSettingsFileName;
inline constexpr const char* kScriptsDir = platform::kScriptsFolder;

// The filter string of the open, import and save dialogs.
inline constexpr const char kAsmFilter[] = "ASM soubory (*.asm)|*.asm|Všechny soubory (*.*)|*.*";
// The filters of the export dialogs.
inline constexpr const char kHtmlFilter[] =
    "HTML soubory (*.html;*.htm)|*.html;*.htm|Všechny soubory (*.*)|*.*";
inline constexpr const char kRtfFilter[] = "RTF soubory (*.rtf)|*.rtf|Všechny soubory (*.*)|*.*";

// Messages of the document flows.
inline constexpr const char kAlreadyOpen[] = "Soubor \"%0:s\" je již otevřený.";
// A failed save names its reason: kCannotSave followed by one of the kWhy texts.
inline constexpr const char kCannotSave[] = "Soubor \"%0:s\" nelze uložit.";
inline constexpr const char kWhyAccess[] = "Nemáte oprávnění zapisovat do tohoto souboru nebo do jeho složky "
                                           "(soubor je chráněn proti zápisu nebo patří "
                                           "jinému uživateli).";
inline constexpr const char kWhyDiskFull[] = "Na disku není dost volného místa.";
inline constexpr const char kWhyReadOnlyFs[] = "Disk se souborem je připojen jen pro čtení.";
inline constexpr const char kWhyNotAFile[] = "Pod tímto názvem je složka nebo zařízení, ne soubor.";
inline constexpr const char kWhyOther[] = "Systém hlásí: %1";
inline constexpr const char kOldFileKept[] = "Původní obsah souboru zůstal beze změny.";

// Files changed by another program while open.
inline constexpr const char kChangedOutside[] =
    "Soubor \"%0:s\" byl změněn jiným programem. Načíst znovu?\r\rAno: načíst soubor z disku (změny v "
    "editoru se "
    "ztratí).\rNe: ponechat text z editoru.\rStorno: nic nedělat.";
inline constexpr const char kDeletedOutside[] =
    "Soubor \"%0:s\" byl smazán nebo přesunut jiným programem.\rText zůstává v editoru; uložením soubor "
    "vytvoříte znovu.";

// Recovery of unsaved work after an abnormal end.
inline constexpr const char kRecoverOffer[] =
    "Obnovit neuložené změny?\r\rProgram minule neskončil řádně a u souboru \"%0:s\" zůstal neuložený text.";

// Faults of the program itself and bad settings.
inline constexpr const char kInternalError[] = "V programu nastala vnitřní chyba:\r%1\r\rProgram pokračuje a "
                                               "otevřené soubory zůstávají. Uložte prosím svou "
                                               "práci.";
inline constexpr const char kBadTabColumns[] = "Tabulátory musí být rostoucí čísla sloupců větší než 1 "
                                               "oddělená mezerou (nejvýše 32), např. \"15 21 60\".";
inline constexpr const char kBadSetting[] = "Neplatné nastavení %1=%2 v Torvane.ini, použito %3.";
inline constexpr const char kNameInUse[] =
    "Soubor nelze uložit pod tímto názvem.\rSoubor \"%0:s\" je otevřený.";
// Followed by a line break and the reason.
inline constexpr const char kCannotExport[] = "Soubor \"%0:s\" nelze exportovat.";
inline constexpr const char kOverwrite[] = "Soubor \"%0:s\" již existuje, chcete jej přepsat?";
inline constexpr const char kNoSuchFile[] = "Soubor \"%0:s\" neexistuje!";
inline constexpr const char kNotSaved[] = "Soubor není uložen, chcete jej uložit?";
// Printing without a printer goes to a PDF file beside the document.
inline constexpr const char kPrintedToPdf[] =
    "Tiskárna není k dispozici.\rDokument byl vytištěn do souboru \"%0:s\".";
inline constexpr const char kPdfNotWritten[] = "Soubor \"%0:s\" nelze zapsat, dokument nebyl vytištěn.";
inline constexpr const char kPrintFailed[] = "Tisk dokumentu \"%0:s\" se nezdařil.";
inline constexpr const char kNotFoundSuffix[] = "\" nenalezeno ...";

// Scheme script messages, assembled around the script's file name.
inline constexpr const char kScriptErrorHead[] = "Chyba ve skriptu \"";
inline constexpr const char kScriptErrorLine[] = "\" (řádek ";
inline constexpr const char kScriptErrorColumn[] = " sloupec ";
inline constexpr const char kScriptErrorTail[] = ").";
inline constexpr const char kScriptMissingHead[] = "Chybí potřebný skript \"";
inline constexpr const char kNoHighlighting[] = "Zvýraznění textu nebude fungovat.";

// Status bar texts.
inline constexpr const char kModified[] = "Změněno";
inline constexpr const char kInsertMode[] = "Vkládat";
inline constexpr const char kOverwriteMode[] = "Přepis";
inline constexpr const char kOrdEmptyLine[] = "Ord: #            Hex: ";

// Hints of Zpět and Znovu: the prefix and the name of the step's kind.
inline constexpr const char kUndoHintPrefix[] = "Zpět ";
inline constexpr const char kRedoHintPrefix[] = "Znovu ";

// Import.
inline constexpr const char kImportProgressHead[] = "Importuji soubor \"";
inline constexpr const char kImportProgressTail[] = "\" ...";
inline constexpr const char kImportOpenErrorHead[] = "Chyba při otevírání souboru \"";
inline constexpr const char kImportErrorTitle[] = "Error";

// Message box titles by kind and the Czech button captions.
inline constexpr const char kTitleWarning[] = "Upozornění";
inline constexpr const char kTitleError[] = "Chyba";
inline constexpr const char kTitleInformation[] = "Informace";
inline constexpr const char kTitleConfirmation[] = "Potvrzení";

// Assembler choice dialog.
inline constexpr const char kNovySCaption[] = "Nový soubor";
inline constexpr const char kBuildChoiceCaption[] = "Výběr překladače";
inline constexpr const char kNovySLabel[] = "Překladač:";
inline constexpr const char kButtonOk[] = "OK";
inline constexpr const char kButtonCancel[] = "Storno";

// The editor's options dialog and the user's own settings of a scheme.
inline constexpr const char kSchemeOptionsItem[] = "Nastavení zvýraznění ...";
inline constexpr const char kSchemeOptionsHint[] =
    "Barvy, klávesy, tisk, tabulátory, opravy a šablony zvýraznění";
inline constexpr const char kStoredSchemeUnreadable[] =
    "Uložené nastavení zvýraznění „%1“ nelze načíst; platí nastavení schématu.";

} // namespace torvane::app::text
