#include "UnSFX.h"

#include <filesystem>
#include <system_error>

#include "ArcPaths.h"

namespace orvello::archive {

namespace {

// The plain-archive extension of a type found inside a program; empty for the others.
std::string ExtensionFor(TArcType t) {
    switch (t) {
        case TArcType::atArjExe:
            return ".ARJ";
        case TArcType::atArcExe:
            return ".ARC";
        case TArcType::atBHExe:
            return ".BH";
        case TArcType::atPakExe:
            return ".PAK";
        case TArcType::atRarExe:
            return ".RAR";
        case TArcType::atZipExe:
        case TArcType::atZip250Exe:
            return ".ZIP";
        default:
            return {};
    }
}

std::string CurrentFolder() {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    if (ec || cwd.empty()) return "/";
    return cwd.back() == '/' ? cwd : cwd + "/";
}

// The folder of a path ending in "/", or the current folder when the path has none.
std::string FolderOrCurrent(const std::string& path) {
    const std::string folder = FolderPart(path);
    return folder.empty() ? CurrentFolder() : folder;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace

void TUnSFX::Warning(const std::string& text) {
    if (Host != nullptr) Host->ShowWarning(text);
}

void TUnSFX::Information(const std::string& text) {
    if (Host != nullptr) Host->ShowInformation(text);
}

bool TUnSFX::Ask(const std::string& text) {
    return Host != nullptr && Host->AskYesNo(text);
}

void TUnSFX::ClearNames() {
    archiveFile_.clear();
    outFilename_.clear();
}

void TUnSFX::SetArchiveFile(const std::string& path) {
    if (path.empty() || !Files->Exists(path)) {
        if (!path.empty()) Warning(path + "\nFile not found.");
        ClearNames();
        archiveSize_ = 0;
        TZipCommon::SetArchiveFile(std::string());
        return;
    }
    archiveFile_ = path;
    Detect();
    if (static_cast<int>(arcType_) <= static_cast<int>(TArcType::atUnknown) || archiveSize_ == 0) {
        Warning("Invalid Archive.");
        arcType_ = TArcType::atNA;
        ClearNames();
        return;
    }
    const std::string extension = ExtensionFor(arcType_);
    if (extension.empty()) {
        ClearNames();
        arcType_ = TArcType::atNA;
        Warning("Unsupported or invalid archive type.");
        return;
    }
    // Everything from the first "." of the file name on goes; a "." in a folder stays.
    std::string base = FileNamePart(path);
    base = base.substr(0, base.find('.'));
    outFilename_ = FolderOrCurrent(path) + base + extension;
}

void TUnSFX::SetOutFilename(const std::string& name) {
    if (FileNamePart(name).empty()) {
        if (!archiveFile_.empty()) SetArchiveFile(archiveFile_);
        return;
    }
    if (archiveFile_.empty()) {
        Information("ArchiveFile must be defined.");
        outFilename_.clear();
        return;
    }
    if (IsFolder(name)) {
        Information(name + " is an existing directory.");
        SetArchiveFile(archiveFile_);
        return;
    }
    const std::string folder = FolderPart(name);
    if (folder.empty()) {
        outFilename_ = FolderOrCurrent(archiveFile_) + name;
        return;
    }
    if (IsFolder(folder)) {
        outFilename_ = name;
        return;
    }
    const std::string fallback = CurrentFolder() + FileNamePart(name);
    if (!Ask("Directory NOT found, create?")) {
        outFilename_ = fallback;
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (IsFolder(folder)) {
        outFilename_ = name;
        return;
    }
    const std::string shown = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
    Information("Error creating directory: " + shown);
    outFilename_ = fallback;
}

}  // namespace orvello::archive
