#include "app/XMLParser.h"

#include <cstdint>
#include <vector>

#include "device/common/FileUtil.h"

bool XMLParser::LoadFile(const std::string& path) {
    std::vector<std::uint8_t> data;
    ReadFileDataW(path, data);
    const bool ok = LoadBuffer(data.data(), data.size());
    ReleaseFileData(data);
    return ok;
}

bool XMLParser::LoadBuffer(const void* data, std::size_t size) {
    return ParseXMLDocument(document_, data, size);
}

bool XMLParser::SaveFile(const std::string& path) const {
    const std::string text = SerializeXMLDocument(document_);
    return WriteFileAtomically(path, text.data(), text.size());
}
