#include "app/AppConfig.h"

#include <cstdint>
#include <vector>

#include "app/AppPaths.h"
#include "device/common/FileUtil.h"

namespace {

pugi::xml_document& Document() {
    static pugi::xml_document document;
    return document;
}

// When the files moved to the per-user directory, a settings file shipped beside
// the executable still seeds the first run there.
std::string ConfigPathToRead() {
    const std::string path = GetAppConfigPath();
    if (IsFileExistW(path) || IsAppBesideExecutable())
        return path;
    const std::string shipped = CombinePathNameW(GetProgramPathW(), "appConfig.xml");
    return IsFileExistW(shipped) ? shipped : path;
}

} // namespace

XMLNode GetAppConfigDocument() {
    return XMLNode(Document());
}

XMLNode GetAppConfig() {
    return GetAppConfigDocument().GetChild("AppConfig");
}

bool LoadAppConfig() {
    pugi::xml_document& document = Document();
    document.reset();
    const std::string path = ConfigPathToRead();
    std::vector<std::uint8_t> data;
    ReadFileDataW(path, data);
    bool parsed = true;
    if (!data.empty()) {
        parsed = ParseXMLDocument(document, data.data(), data.size());
        if (!parsed && path == GetAppConfigPath()) {
            // Keep what the user had; the save below replaces the file.
            WriteFileAtomically(path + ".bad", data.data(), data.size());
        }
    }
    ReleaseFileData(data);
    if (GetAppConfigDocument().FindChild("AppConfig").IsNull()) {
        document.append_child("AppConfig");
        SaveAppConfig();
    }
    return parsed;
}

bool SaveAppConfig() {
    const std::string dir = GetAppFolderPath(AppFolder::Config);
    if (!IsFileExistW(dir))
        RecursiveCreateDirectoryW(dir);
    const std::string text = SerializeXMLDocument(Document());
    return WriteFileAtomically(GetAppConfigPath(), text.data(), text.size());
}

std::string SelectLanguageName(const std::string& languageSetting) {
    if (languageSetting.empty())
        return {};
    if (XMLNameEquals(languageSetting.c_str(), "ENG"))
        return "en-US";
    if (XMLNameEquals(languageSetting.c_str(), "CHS"))
        return "zh-cn";
    if (XMLNameEquals(languageSetting.c_str(), "CHT"))
        return "zh-tw";
    return languageSetting.substr(0, 31);
}
