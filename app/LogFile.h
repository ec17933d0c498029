#pragma once
// The run's log file: one file per run under the Log folder, named
// "Vestrel_TOOL_" + date and time + ".log", fed with every DbgOutputA line.

#include <string>

class CLogFile {
public:
    CLogFile() = default;
    ~CLogFile() { CloseLogFile(); }
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Creates the Log folder, opens a new file and registers its writer. When the
    // file cannot be opened the writer is registered all the same and drops every
    // line, so the program runs normally; the result is then false.
    bool OpenLogFile();
    // Removes the writer, then closes the file. Safe to call repeatedly.
    void CloseLogFile();

    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
    // The file's path (empty when none was opened).
    [[nodiscard]] const std::string& GetPath() const { return path_; }

private:
    int fd_ = -1;
    bool registered_ = false;
    std::string path_;
};
