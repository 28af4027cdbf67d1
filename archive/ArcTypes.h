// Archive types, message codes and the exception that carries a fatal archive error.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvello::archive {

// The archive type a detection yields. The ordinal is the code hosts switch on, so the
// order and the values never change.
enum class TArcType : int {
    atNA = 0,
    atUnsupported = 1,
    atFileError = 2,
    atUnknown = 3,
    atARJ = 4,
    atArjExe = 5,
    atARC = 6,
    atArcExe = 7,
    atBH = 8,
    atBHExe = 9,
    atCAB = 10,
    atGZip = 11,
    atHA = 12,
    atLHA = 13,
    atLhaExe = 14,
    atLZH = 15,
    atLzhExe = 16,
    atPAK = 17,
    atPakExe = 18,
    atRAR = 19,
    atRarExe = 20,
    atTAR = 21,
    atZIP = 22,
    atZipExe = 23,
    atZip250 = 24,
    atZip250Exe = 25,
    atZOO = 26,
};

inline constexpr int kArcTypeCount = 27;

// "atZIP" for atZIP: the enumeration name, as scripts see it.
std::string_view ArcTypeName(TArcType t);
// "ZIP SFX" for atZipExe: the library's display text.
std::string_view ArcTypeText(TArcType t);

// Message codes of errors and warnings. Their texts are in ErrorText().
enum ErrorCode : int {
    errBadFileHeader = 25108,
    errBadBlock = 25109,
    errBadHuffmanCode = 25110,
    errInvalidCode = 25111,
    errIncorrectBits = 25113,
    errWriteFile = 25114,
    errCloseFile = 25115,
    errIncompleteCodeSet = 25116,
    errCRC = 25117,
    errInvalidDecodeTree = 25118,
    errFileNotFound = 25132,
    errOpenFile = 25134,
    errReadFile = 25135,
    errHeaderCRC = 25136,
    errHeaderID = 25137,
    errArchiveType = 25138,
    errInvalidFileName = 25139,
    errBadLengths = 25140,
    errLinkInPath = 25141,
    errDamagedArchive = 25142,
    errLocalHeader = 25145,
    errMaxVolumes = 25150,
    errOutOfMemory = 25153,
    errNoOnRead = 25171,
    errNoOnPassword = 25172,
    errPasswordProtected = 25190,
    errSeek = 25191,
    errAmbiguousTree = 25192,
    errStackOverflow = 25196,
    errUnsupportedMethod = 25200,
    errUnsupportedEncryption = 25201,
    errUnknownFileType = 25202,
    errVersion = 25302,
    errUnsupportedVersion = 25303,
    errNextVolume = 25903,
    errInvalidPassword = 26517,
    errPasswordFailed = 26522,
    errSkippedFile = 26900,
    errEventHandler = 26901,
    errCancelled = 26998,
    errNothingToDo = 26999,
};

// The message text of a code, exactly as users see it; an empty view for an unknown code.
std::string_view ErrorText(int code);

// A fatal archive error: reported through OnError first, then raised. what() is the text.
class E_RAISE : public std::runtime_error {
  public:
    explicit E_RAISE(int code);
    int Code() const noexcept { return code_; }

  private:
    int code_;
};

// Whether extracted files get the stored date-time or keep the time of writing.
enum class TSetDate { OrigDate, CurDate };

// Progress step of the extractors: 5, 10, 15, 20 or 25 percent.
enum class TProgressNotify { Five, Ten, Fifteen, Twenty, TwentyFive };

}  // namespace orvello::archive
