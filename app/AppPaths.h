#pragma once
// Where the tool's files live. Beside the executable, as a portable install
// expects; when that directory is not writable (a system-wide install), in the
// per-user XDG directories instead, so that nothing the tool writes is lost.

#include <string>

enum class AppFolder {
    Config,   // appConfig.xml
    Log,      // the run logs ("Log")
    SaveData, // default capture directory ("SaveData")
    FWImage,  // firmware store filled from the update server ("FW_Image")
};

// The directory for that kind of file, without a trailing separator. It is not
// created here; writers create it (RecursiveCreateDirectoryW) when they need it.
//   beside the executable:  <exe dir>, <exe dir>/Log, <exe dir>/SaveData, <exe dir>/FW_Image
//   otherwise:  $XDG_CONFIG_HOME/vestrel-tool, $XDG_STATE_HOME/vestrel-tool/Log,
//               $XDG_DATA_HOME/vestrel-tool/SaveData, $XDG_DATA_HOME/vestrel-tool/FW_Image
[[nodiscard]] std::string GetAppFolderPath(AppFolder folder);

// Full path of appConfig.xml.
[[nodiscard]] std::string GetAppConfigPath();

// True when the files live beside the executable.
[[nodiscard]] bool IsAppBesideExecutable();

// Puts every file under `dir` as if it were the executable's directory (empty:
// back to the automatic choice). For a second instance with its own settings,
// and for tests.
void SetAppBaseDirectory(const std::string& dir);

// The per-user directory for a kind of XDG base directory: `envName` when it
// holds an absolute path, else $HOME joined with `fallbackUnderHome`.
[[nodiscard]] std::string XdgBaseDirectory(const char* envName, const char* fallbackUnderHome);
