#pragma once
// File names of the libraries and programs that Torvane finds beside itself or
// starts. Every message that names one of them takes it from here.

namespace torvane::platform {

#ifdef _WIN32
inline constexpr const char kBridgeLibrary[] = "Pelorin.dll";
inline constexpr const char kResourceLibrary[] = "Quendal.dll";
inline constexpr const char kAsem51Program[] = "asemw.exe";
inline constexpr const char kAvrAsmProgram[] = "avrasm32.exe";
inline constexpr char kPathSeparator = '\\';
// Both separators end a folder part, and so does a drive's colon.
inline constexpr const char kPathDelimiters[] = "\\/:";
#else
inline constexpr const char kBridgeLibrary[] = "libPelorin.so";
inline constexpr const char kResourceLibrary[] = "libQuendal.so";
inline constexpr const char kAsem51Program[] = "asemw";
inline constexpr const char kAvrAsmProgram[] = "avrasm32";
inline constexpr char kPathSeparator = '/';
inline constexpr const char kPathDelimiters[] = "/";
#endif

// The folder of scheme scripts among the program's data, and the settings file.
inline constexpr const char kScriptsFolder[] = "Scripts";
inline constexpr const char kSettingsFileName[] = "Torvane.ini";

// Exported lookup function of the resource library.
inline constexpr const char kResourceLookupSymbol[] = "QuendalFindResource";

// Names of the single-instance lock and of the running instance's endpoint.
inline constexpr const char kInstanceLockName[] = "Torvane";
inline constexpr const char kInstanceWindowClass[] = "TfrmTorvane";

} // namespace torvane::platform
