#pragma once
// Paths and file helpers. Paths are UTF-8 byte strings (the Linux file system
// has no wide form), so the A and W twins share one implementation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Directory of the running executable (from /proc/<pid>/exe; pid 0 = this
// process), without a trailing separator. Empty when it cannot be resolved.
std::string GetProgramPathW(int pid = 0);
inline std::string GetProgramPathA(int pid = 0) { return GetProgramPathW(pid); }

// Joins a directory and a name with exactly one '/'. Backslashes in `name`
// (as in "\RadarData.dat") are taken as separators.
std::string CombinePathNameW(const std::string& dir, const std::string& name);

// Creates the directory and all missing parents; true when it exists afterwards.
bool RecursiveCreateDirectoryW(const std::string& dir);
inline bool RecursiveCreateDirectoryA(const std::string& dir) { return RecursiveCreateDirectoryW(dir); }

// prefix + local date and time "YYYYMMDD_HHMMSS" + suffix + extension.
// flags: prefixAfterDate (0: prefix first), dateTime (1: date and time, 0: date
// only), extensionFlag (reserved, 0).
std::string GetFileNameByDateW(const std::string& extension, const std::string& prefix,
                               const std::string& suffix, int prefixAfterDate = 0,
                               int dateTime = 1, int extensionFlag = 0);

// Reads the whole file; returns its size, 0 (and empty data) when unreadable.
std::size_t ReadFileDataW(const std::string& path, std::vector<std::uint8_t>& data);
void ReleaseFileData(std::vector<std::uint8_t>& data);

bool IsFileExistW(const std::string& path); // regular file or directory
// The version of this build ("1.0.0"); `modulePath` is accepted for compatibility.
std::string GetFileVersionW(const std::string& modulePath = {});
// Extension with its dot ("bin" -> ".bin"), empty when none.
std::string GetFileExtNameW(const std::string& path);
// Name without its directory.
std::string GetFileShortNameW(const std::string& path);

// Lists the regular files of `folder` (recursing when `recursive`), keeping those
// whose extension matches `extension` ignoring case (empty: all), sorted by name.
// fullPath nonzero gives whole paths, else names relative to `folder`.
int GetLocalFolderFileListA(const std::string& folder, int recursive, std::vector<std::string>& list,
                            const std::string& extension, int includeDirs = 0, int fullPath = 1);

// Splits at any of the separator characters, dropping empty pieces.
std::vector<std::string> DevideStringByCharListA(const std::string& text, const std::string& separators);
inline std::vector<std::string> DevideStringByCharListW(const std::string& text,
                                                        const std::string& separators) {
    return DevideStringByCharListA(text, separators);
}
inline void Internal_DelArrayA(std::vector<std::string>& list) { list.clear(); }
inline void Internal_DelArrayW(std::vector<std::string>& list) { list.clear(); }

// Writes `data` to `path` through a temporary file beside it and a rename, so a
// crash or a full disk never leaves a truncated file. False on any failure
// (the old file is then untouched).
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size);
