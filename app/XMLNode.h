#pragma once
// A reference to one node of an XML document (or to none). Names of elements and
// attributes match ignoring letter case; new ones bear the name as written by
// the caller. The document owns every node, so copies are cheap and release nothing.

#include <cstdint>
#include <optional>
#include <string>

#include <pugixml.hpp>

class XMLNode {
public:
    XMLNode() = default;
    explicit XMLNode(pugi::xml_node node) : node_(node) {}
    virtual ~XMLNode() = default;
    XMLNode(const XMLNode&) = default;
    XMLNode& operator=(const XMLNode&) = default;

    [[nodiscard]] bool IsNull() const { return node_.type() == pugi::node_null; }
    [[nodiscard]] pugi::xml_node GetNode() const { return node_; }

    // The first child element whose name matches; when there is none and this is
    // a document or an element, a new child element `name` is appended (in memory).
    XMLNode GetChild(const char* name);
    // The first matching child element, or a null node; never adds one.
    [[nodiscard]] XMLNode FindChild(const char* name) const;

    // Converts the first matching attribute's text with DigtalStringToValue and
    // the type code (2 flag, 5 int32, 6 uint32, 10 double) into *target. An
    // absent attribute, an empty or malformed text leaves the target unchanged.
    bool ReadValue(const char* name, void* target, int type) const;
    bool ReadValue(const char* name, std::int32_t& target) const;
    bool ReadValue(const char* name, std::uint32_t& target) const;
    bool ReadValue(const char* name, double& target) const;

    // The first matching attribute's text (empty when it has no value), or nothing.
    [[nodiscard]] std::optional<std::string> GetText(const char* name) const;

    // Set the first matching attribute, else append one (to an element or a
    // declaration only; a null node ignores it). They always report success.
    bool SetAttributeInt(const char* name, long long value);          // "%lld"
    bool SetAttributeHex(const char* name, std::uint32_t value);      // "0x%08x"
    bool SetAttributeDouble(const char* name, double value);          // "%.2f"
    bool SetAttributeText(const char* name, const std::string& text); // unchanged

private:
    [[nodiscard]] pugi::xml_attribute FindAttribute(const char* name) const;

    pugi::xml_node node_;
};

// Case-insensitive comparison of element and attribute names (ASCII letters).
[[nodiscard]] bool XMLNameEquals(const char* a, const char* b);

// Serialises a document in the settings layout: `<?xml version="1.0"?>` first
// (unless the document holds a declaration), one element per line, tab
// indentation, childless elements in the short form. Texts are written as held.
[[nodiscard]] std::string SerializeXMLDocument(const pugi::xml_document& document);

// Parses bytes with encoding detection (byte-order mark or first bytes).
// On a parse error the document is emptied and false returned.
bool ParseXMLDocument(pugi::xml_document& document, const void* data, std::size_t size);
