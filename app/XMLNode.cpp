#include "app/XMLNode.h"

#include <cstdio>

#include "device/common/Conversion.h"

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool CanHoldAttributes(const pugi::xml_node& node) {
    return node.type() == pugi::node_element || node.type() == pugi::node_declaration;
}

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, std::size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

private:
    std::string& out_;
};

} // namespace

bool XMLNameEquals(const char* a, const char* b) {
    if (a == nullptr || b == nullptr)
        return false;
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    return *a == *b;
}

XMLNode XMLNode::FindChild(const char* name) const {
    for (pugi::xml_node child = node_.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && XMLNameEquals(child.name(), name))
            return XMLNode(child);
    return XMLNode();
}

XMLNode XMLNode::GetChild(const char* name) {
    if (name == nullptr)
        return XMLNode();
    XMLNode found = FindChild(name);
    if (!found.IsNull())
        return found;
    if (node_.type() != pugi::node_document && node_.type() != pugi::node_element)
        return XMLNode();
    return XMLNode(node_.append_child(name));
}

pugi::xml_attribute XMLNode::FindAttribute(const char* name) const {
    for (pugi::xml_attribute a = node_.first_attribute(); a; a = a.next_attribute())
        if (XMLNameEquals(a.name(), name))
            return a;
    return {};
}

bool XMLNode::ReadValue(const char* name, void* target, int type) const {
    const pugi::xml_attribute a = FindAttribute(name);
    if (!a || target == nullptr)
        return false;
    const char* text = a.value();
    const std::size_t length = std::char_traits<char>::length(text);
    return length != 0 && DigtalStringToValue(text, length, target, type);
}

bool XMLNode::ReadValue(const char* name, std::int32_t& target) const {
    return ReadValue(name, &target, DIGITAL_TYPE_INT32);
}

bool XMLNode::ReadValue(const char* name, std::uint32_t& target) const {
    return ReadValue(name, &target, DIGITAL_TYPE_UINT32);
}

bool XMLNode::ReadValue(const char* name, double& target) const {
    return ReadValue(name, &target, DIGITAL_TYPE_DOUBLE);
}

std::optional<std::string> XMLNode::GetText(const char* name) const {
    const pugi::xml_attribute a = FindAttribute(name);
    if (!a)
        return std::nullopt;
    return std::string(a.value());
}

bool XMLNode::SetAttributeText(const char* name, const std::string& text) {
    if (name == nullptr)
        return true;
    pugi::xml_attribute a = FindAttribute(name);
    if (!a && CanHoldAttributes(node_))
        a = node_.append_attribute(name);
    if (a)
        a.set_value(text.c_str());
    return true;
}

bool XMLNode::SetAttributeInt(const char* name, long long value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", value);
    return SetAttributeText(name, buf);
}

bool XMLNode::SetAttributeHex(const char* name, std::uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08x", value);
    return SetAttributeText(name, buf);
}

bool XMLNode::SetAttributeDouble(const char* name, double value) {
    return SetAttributeText(name, FormatFixed(value, 2));
}

std::string SerializeXMLDocument(const pugi::xml_document& document) {
    std::string out;
    StringWriter writer(out);
    document.save(writer, "\t", pugi::format_default, pugi::encoding_auto);
    return out;
}

bool ParseXMLDocument(pugi::xml_document& document, const void* data, std::size_t size) {
    document.reset();
    if (data == nullptr || size == 0)
        return true;
    const pugi::xml_parse_result result = document.load_buffer(
        data, size, pugi::parse_default | pugi::parse_declaration, pugi::encoding_auto);
    if (!result) {
        document.reset();
        return false;
    }
    return true;
}
