#pragma once
// The process-wide settings document and appConfig.xml. Used only on the window
// thread: read once at start-up, changed in memory by each writer, and saved
// whole after every change.

#include <string>

#include "app/XMLNode.h"

// Default of AppConfig/BaudRate.
constexpr int kDefaultBaudRate = 115200;
// Default of AppConfig/RadarConfigFile.
constexpr const char* kDefaultRadarConfigFile = "RadarParamConfig.xml";

// The settings document's own node.
[[nodiscard]] XMLNode GetAppConfigDocument();
// The element AppConfig (appended in memory when absent).
[[nodiscard]] XMLNode GetAppConfig();

// Start-up: empties the document, reads appConfig.xml into it, and when it holds
// no AppConfig appends one and saves at once. A missing or unreadable file
// starts from defaults. A file that does not parse also starts from defaults;
// its bytes are kept beside it as appConfig.xml.bad before the file is replaced.
// Returns false only when the file existed but did not parse.
bool LoadAppConfig();

// Writes the whole document to appConfig.xml through a temporary file and a
// rename, so a crash or a full disk never leaves a truncated file. False when it
// cannot be written; the document in memory is unchanged either way.
bool SaveAppConfig();

// The preferred UI language for the setting AppConfig/Language, compared
// ignoring case: "ENG" -> "en-US", "CHS" -> "zh-cn", "CHT" -> "zh-tw", any other
// text -> the text itself (at most 31 characters), empty -> empty (system choice).
[[nodiscard]] std::string SelectLanguageName(const std::string& languageSetting);
