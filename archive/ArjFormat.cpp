#include "ArjFormat.h"

#include <algorithm>

#include "ArcPaths.h"

namespace orvello::archive {

std::string ArjVolumeName(const std::string& archive, int n) {
    const std::string folder = FolderPart(archive), file = FileNamePart(archive);
    const auto dot = file.find_last_of('.');
    const std::string base = dot == std::string::npos ? file : file.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : file.substr(dot + 1);
    const bool lower =
        std::any_of(ext.begin(), ext.end(), [](char c) { return c >= 'a' && c <= 'z'; }) &&
        std::none_of(ext.begin(), ext.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const std::string letter = lower ? "a" : "A";
    std::string number = std::to_string(n);
    if (n <= 9) {
        number = letter + "0" + number;
    } else if (n <= 99) {
        number = letter + number;
    }
    return folder + base + "." + number;
}

}  // namespace orvello::archive
