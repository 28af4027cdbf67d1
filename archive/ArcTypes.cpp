#include "ArcTypes.h"

#include <array>
#include <utility>

namespace orvello::archive {

namespace {

struct TypeTexts {
    std::string_view name;
    std::string_view text;
};

constexpr std::array<TypeTexts, kArcTypeCount> kTypeTexts{{
    {"atNA", "Not avail."},
    {"atUnsupported", "Unsupport."},
    {"atFileError", "File Error"},
    {"atUnknown", "Unknown"},
    {"atARJ", "ARJ"},
    {"atArjExe", "ARJ SFX"},
    {"atARC", "ARC"},
    {"atArcExe", "ARC SFX"},
    {"atBH", "BH"},
    {"atBHExe", "BH  SFX"},
    {"atCAB", "CAB"},
    {"atGZip", "GZip"},
    {"atHA", "HA"},
    {"atLHA", "LHA"},
    {"atLhaExe", "LHA SFX"},
    {"atLZH", "LZH"},
    {"atLzhExe", "LZH SFX"},
    {"atPAK", "PAK"},
    {"atPakExe", "PAK SFX"},
    {"atRAR", "RAR"},
    {"atRarExe", "RAR SFX"},
    {"atTAR", "TAR"},
    {"atZIP", "ZIP"},
    {"atZipExe", "ZIP SFX"},
    {"atZip250", "ZIP250"},
    {"atZip250Exe", "ZIP250 SFX"},
    {"atZOO", "ZOO"},
}};

constexpr std::pair<int, std::string_view> kMessages[] = {
    {errBadFileHeader, "Bad file header"},
    {errBadBlock, "Bad block"},
    {errBadHuffmanCode, "Bad Huffman code"},
    {errInvalidCode, "Invalid code incountered"},
    {errIncorrectBits, "Incorrect number of bits"},
    {errWriteFile, "Error writing to file"},
    {errCloseFile, "Error closing file"},
    {errIncompleteCodeSet, "Incomplete code set"},
    {errCRC, "File fails CRC check"},
    {errInvalidDecodeTree, "File contains invalid decode tree"},
    {errFileNotFound, "File not found"},
    {errOpenFile, "Error opening file"},
    {errReadFile, "Error reading file or unexpected end of file"},
    {errHeaderCRC, "Header CRC error"},
    {errHeaderID, "Header ID error"},
    {errArchiveType, "Invalid or unsupported archive type for this operation"},
    {errInvalidFileName, "Invalid file name"},
    {errBadLengths, "Bad lengths"},
    {errLinkInPath, "Output path passes through a symbolic link"},
    {errDamagedArchive, "Damaged archive: it ends inside this header or member"},
    {errLocalHeader, "Inconsistant local header"},
    {errMaxVolumes, "Maximum volumes 999"},
    {errOutOfMemory, "Out of memory"},
    {errNoOnRead, "OnRead event not assigned"},
    {errNoOnPassword, "OnPassword event not assigned"},
    {errPasswordProtected, "Password protected"},
    {errSeek, "Seek error"},
    {errAmbiguousTree, "Ambiguous Shannon-Fano decode tree encountered"},
    {errStackOverflow, "Stack overflow"},
    {errUnsupportedMethod, "Unsupported compression method"},
    {errUnsupportedEncryption, "Unsupported encryption method"},
    {errUnknownFileType, "Unknown file type"},
    {errVersion, "Version error"},
    {errUnsupportedVersion, "Unsupported archive version"},
    {errNextVolume, "Next volume in set"},
    {errInvalidPassword, "Invalid password"},
    {errPasswordFailed, "Password failed"},
    {errSkippedFile, "Skipped File"},
    {errEventHandler, "Event handler failed"},
    {errCancelled, "Extraction cancelled"},
    {errNothingToDo, "Nothing to do"},
};

}  // namespace

std::string_view ArcTypeName(TArcType t) {
    const auto i = static_cast<int>(t);
    return i >= 0 && i < kArcTypeCount ? kTypeTexts[static_cast<std::size_t>(i)].name : "";
}

std::string_view ArcTypeText(TArcType t) {
    const auto i = static_cast<int>(t);
    return i >= 0 && i < kArcTypeCount ? kTypeTexts[static_cast<std::size_t>(i)].text : "";
}

std::string_view ErrorText(int code) {
    for (const auto& [c, text] : kMessages) {
        if (c == code) return text;
    }
    return {};
}

E_RAISE::E_RAISE(int code) : std::runtime_error(std::string(ErrorText(code))), code_(code) {}

}  // namespace orvello::archive
