#pragma once
// An XML document of its own (separate from the settings document), for files
// such as the parameter files: load, find the top-level element, save.

#include <string>

#include <pugixml.hpp>

#include "app/XMLNode.h"

class XMLParser {
public:
    XMLParser() = default;
    virtual ~XMLParser() = default;
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Reads and parses the whole file. A missing or empty file leaves the document
    // empty and returns true; a file that does not parse leaves it empty and
    // returns false.
    bool LoadFile(const std::string& path);
    // Parses bytes already in memory (same rules as LoadFile).
    bool LoadBuffer(const void* data, std::size_t size);
    // The top-level element `name` (matched ignoring case), appended when absent.
    XMLNode GetChild(const char* name) { return GetDocument().GetChild(name); }
    [[nodiscard]] XMLNode GetDocument() { return XMLNode(document_); }
    // Writes the whole document in the settings layout through a temporary file
    // and a rename; false when the file cannot be written (the old one stays).
    [[nodiscard]] bool SaveFile(const std::string& path) const;

private:
    pugi::xml_document document_;
};
