// orvello-arc: the archive library from the command line, for scripts and people.
//
//   orvello-arc type FILE          the detected type: code, name and StartOffset
//   orvello-arc list FILE [SPEC] [--names ENCODING]
//                                  the members, one tab-separated line each, then the total
//   orvello-arc extract FILE DIR [SPEC] [--dirs] [--password PW]... [--names ENCODING]
//                                  the members (ZIP, LHA, ZOO, ARJ, ARC) written into DIR, one line
//                                  each
//
// Each command is one entry of kCommands; adding a command is adding an entry.
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "archive/ArcLister.h"
#include "archive/ArcMain.h"
#include "archive/Extractors.h"
#include "archive/NameCodec.h"
#include "archive/UnARC.h"
#include "archive/UnZIP.h"

using namespace orvello::archive;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    std::size_t minArgs, maxArgs;
    int (*run)(const Args& args);
};

// One "error CODE: TEXT" or "warning CODE: TEXT" line, with a tab and FN when there is one.
void PrintReport(const char* kind, int code, const std::string& fn) {
    std::fprintf(stderr, "%s %d: %.*s", kind, code, static_cast<int>(ErrorText(code).size()),
                 ErrorText(code).data());
    if (!fn.empty()) std::fprintf(stderr, "\t%s", fn.c_str());
    std::fputc('\n', stderr);
}

// Reports reach the tool through OnError, which does not say whether the operation went on.
// A report is a warning when something happened after it; the last one is an error when the
// operation failed.
class ReportPrinter {
  public:
    void Add(int code, const std::string& fn) {
        Flush("warning");
        pending_ = true;
        code_ = code;
        fn_ = fn;
    }
    void Finish(bool failed) { Flush(failed ? "error" : "warning"); }
    void Flush(const char* kind) {
        if (pending_) PrintReport(kind, code_, fn_);
        pending_ = false;
    }

  private:
    bool pending_ = false;
    int code_ = 0;
    std::string fn_;
};

// The components treat a missing file as no archive at all; a script wants to hear of it.
bool CheckExists(const std::string& path) {
    if (DiskFileSystem::Instance().Exists(path)) return true;
    PrintReport("error", errFileNotFound, path);
    return false;
}

// Control characters would break the line format; they are shown as "?".
std::string Printable(std::string s) {
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return s;
}

// One line of `list`, built by hand: formatting through printf would cost more than
// reading the archive.
class MemberLine {
  public:
    void Print(const TArcLister& l) {
        text_.clear();
        const auto start = text_.size();
        text_ += l.FileName;
        for (auto i = start; i < text_.size(); ++i) {
            if (static_cast<unsigned char>(text_[i]) < 0x20 || text_[i] == 0x7F) text_[i] = '?';
        }
        text_ += '\t';
        Number(l.UnpackedSize);
        text_ += '\t';
        Number(l.PackedSize);
        text_ += '\t';
        static constexpr char kHex[] = "0123456789abcdef";
        for (int shift = 28; shift >= 0; shift -= 4)
            text_ += kHex[(l.CRC >> shift) & 0xF];
        text_ += '\t';
        text_ += l.MethodName;
        text_ += '\t';
        // Members of one archive often share their date; it is formatted once.
        if (l.DateTime != lastDate_ || lastDateText_.empty()) {
            lastDate_ = l.DateTime;
            lastDateText_ = FormatDateTime(l.DateTime);
        }
        text_ += lastDateText_;
        text_ += '\n';
        std::fwrite(text_.data(), 1, text_.size(), stdout);
    }

  private:
    void Number(long long v) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        text_.append(buf, r.ptr);
    }

    std::string text_;
    TDateTime lastDate_ = 0;
    std::string lastDateText_;
};

int RunType(const Args& args) {
    if (!CheckExists(args[0])) return kExitFailed;
    TZipCommon component;
    ReportPrinter reports;
    component.OnError = [&](TZipCommon&, const std::string& fn, const std::string&, int code) {
        reports.Add(code, fn);
    };
    try {
        component.SetArchiveFile(args[0]);
    } catch (const E_RAISE&) {
        reports.Finish(true);
        return kExitFailed;
    }
    reports.Finish(false);
    const TArcType t = component.ArcType();
    std::printf("%d %.*s %lld\n", static_cast<int>(t), static_cast<int>(ArcTypeName(t).size()),
                ArcTypeName(t).data(), static_cast<long long>(component.StartOffset()));
    return kExitOk;
}

// Takes "--names ENCODING" out of `args`; false (after a message) for an unknown encoding.
bool TakeNames(Args& args, NameEncoding& encoding) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--names" || i + 1 >= args.size()) continue;
        const auto e = NameEncodingFromText(args[i + 1]);
        if (!e) {
            std::string known;
            for (const auto& [name, value] : NameEncodings())
                known += (known.empty() ? "" : ", ") + std::string(name);
            std::fprintf(stderr, "orvello-arc: unknown name encoding \"%s\" (one of %s)\n",
                         args[i + 1].c_str(), known.c_str());
            return false;
        }
        encoding = *e;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

int RunList(const Args& given) {
    Args args = given;
    NameEncoding encoding = NameEncoding::kAuto;
    if (!TakeNames(args, encoding)) return kExitUsage;
    if (args.empty() || args.size() > 2 || args[0].rfind("--", 0) == 0) {
        std::fputs("usage: orvello-arc list FILE [SPEC] [--names ENCODING]\n", stderr);
        return kExitUsage;
    }
    if (!CheckExists(args[0])) return kExitFailed;
    TArcLister lister;
    lister.NamesEncoding = encoding;
    ReportPrinter reports;
    lister.OnError = [&](TZipCommon&, const std::string& fn, const std::string&, int code) {
        reports.Add(code, fn);
    };
    lister.SetFileSpec(args.size() > 1 ? args[1] : "*.*");
    long long printed = 0;
    std::optional<long long> total;
    MemberLine line;
    lister.OnRead = [&](TZipCommon&, std::int64_t, std::int32_t) {
        reports.Flush("warning");
        line.Print(lister);
        ++printed;
    };
    lister.OnTotals = [&](TZipCommon&, std::int32_t n) { total = n; };
    bool ok = false;
    try {
        lister.SetArchiveFile(args[0]);
        ok = lister.Activate();
    } catch (const E_RAISE&) {
        ok = false;
    }
    std::printf("total\t%lld\n", total.value_or(printed));
    std::fflush(stdout);
    reports.Finish(!ok);
    return ok ? kExitOk : kExitFailed;
}

// The extractor's warnings (the operation goes on after them); every other code is an error.
bool IsExtractWarning(int code) {
    static const std::set<int> warnings = {
        errCRC,        errLocalHeader, errNoOnPassword, errInvalidPassword, errPasswordFailed,
        errNextVolume, errSkippedFile};
    return warnings.count(code) != 0;
}

// The information box of a decoder failure becomes an error line for the member: its text is
// a message of the table, so its code is found again.
class ConsoleHost final : public ArcHost {
  public:
    ConsoleHost(const TZipCommon& component, bool& failed)
        : component_(component), failed_(failed) {}
    void ShowWarning(const std::string& text) override {
        std::fprintf(stderr, "warning: %s\n", Printable(text).c_str());
    }
    void ShowInformation(const std::string& text) override {
        failed_ = true;
        for (int code = 25000; code < 27000; ++code) {
            if (ErrorText(code) == text) {
                PrintReport("error", code, Printable(component_.FileName));
                return;
            }
        }
        std::fprintf(stderr, "error: %s\t%s\n", Printable(text).c_str(),
                     Printable(component_.FileName).c_str());
    }
    bool AskYesNo(const std::string&) override { return false; }

  private:
    const TZipCommon& component_;
    bool& failed_;
};

int RunExtract(const Args& given) {
    const char* usage =
        "usage: orvello-arc extract FILE DIR [SPEC] [--dirs] [--password PW]... [--names "
        "ENCODING]\n";
    Args args = given;
    NameEncoding encoding = NameEncoding::kAuto;
    if (!TakeNames(args, encoding)) return kExitUsage;
    Args positional;
    std::vector<std::string> passwords;
    bool dirs = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dirs") {
            dirs = true;
        } else if (args[i] == "--password" && i + 1 < args.size()) {
            passwords.push_back(args[++i]);
        } else if (args[i].rfind("--", 0) == 0) {
            std::fputs(usage, stderr);
            return kExitUsage;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() < 2 || positional.size() > 3) {
        std::fputs(usage, stderr);
        return kExitUsage;
    }
    if (!CheckExists(positional[0])) return kExitFailed;

    // The type decides the extractor; detection runs again when the extractor gets the file.
    TZipCommon probe;
    try {
        probe.SetArchiveFile(positional[0]);
    } catch (const E_RAISE& e) {
        PrintReport("error", e.Code(), Printable(positional[0]));
        return kExitFailed;
    }
    const auto extractor = MakeExtractor(probe.ArcType());
    if (!extractor) {
        PrintReport("error", errArchiveType, Printable(positional[0]));
        return kExitFailed;
    }
    TUnBase& x = *extractor;
    bool failed = false;
    ConsoleHost host(x, failed);
    x.Host = &host;
    x.UseStoredDirs = dirs;
    x.NamesEncoding = encoding;
    if (auto* unzip = dynamic_cast<TUnZIP*>(&x)) unzip->Passwords = passwords;
    x.SetFileSpec(positional.size() == 3 ? positional[2] : "*.*");
    bool crcFailed = false;  // the current member's check value failed
    const bool arc = dynamic_cast<TUnARC*>(&x) != nullptr;
    x.OnError = [&](TZipCommon&, const std::string& fn, const std::string&, int code) {
        // ARJ and ARC report every member that SPEC does not select; ZIP says nothing of them.
        if (code == errSkippedFile) return;
        failed = true;
        crcFailed = crcFailed || code == errCRC;
        PrintReport(IsExtractWarning(code) ? "warning" : "error", code, Printable(fn));
        // ARC reports a failed check instead of ending the member: its line is printed here.
        if (arc && code == errCRC && x.MemberWritten()) {
            std::printf("crc\t%s\n", Printable(fn).c_str());
            std::fflush(stdout);
        }
    };
    // A progress line on a terminal, for members that take a while.
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    using Clock = std::chrono::steady_clock;
    Clock::time_point begun;
    bool progressShown = false;
    x.OnBegin = [&](TZipCommon&, const std::string&, std::int32_t, bool&) {
        crcFailed = false;
        begun = Clock::now();
        progressShown = false;
    };
    x.OnProgress = [&](TZipCommon&, const std::string& fn, std::uint8_t percent) {
        if (!tty || Clock::now() - begun < std::chrono::milliseconds(300)) return;
        std::fprintf(stderr, "\r%3u%%  %s", static_cast<unsigned>(percent), Printable(fn).c_str());
        std::fflush(stderr);
        progressShown = true;
    };
    x.OnEnd = [&](TZipCommon&, const std::string& fn, bool pass) {
        if (progressShown) std::fputs("\r\033[K", stderr);
        // A member not written, or written but damaged in another way than its check value
        // (its error line says how), gets no line here.
        if (!x.MemberWritten() || (!pass && !crcFailed)) {
            failed = true;
            return;
        }
        failed = failed || !pass;
        std::printf("%s\t%s\n", pass ? "ok" : "crc", Printable(fn).c_str());
        std::fflush(stdout);
    };
    x.SetArchiveFile(positional[0]);
    x.SetExtractDir(positional[1]);
    try {
        x.Extract();
    } catch (const E_RAISE&) {
        failed = true;  // reported through OnError already
    }
    return failed ? kExitFailed : kExitOk;
}

const Command kCommands[] = {
    {"type", "type FILE",
     "Prints one line: the archive type code, its name and StartOffset (the 1-based position\n"
     "of the archive data), separated by blanks, for example \"22 atZIP 1\".",
     1, 1, RunType},
    {"list", "list FILE [SPEC] [--names ENCODING]",
     "Prints one line per member whose name matches SPEC (default \"*.*\"), fields separated\n"
     "by a tab: name, unpacked size, packed size, CRC (8 hex digits), method, date and time\n"
     "(YYYY-MM-DD HH:MM:SS); then the line \"total\", a tab and the number of members. Folder\n"
     "entries are not listed. Control characters in names are shown as \"?\".\n"
     "--names reads names that carry no mark of their character set in ENCODING: auto (the\n"
     "default: UTF-8 where valid, else code page 437; LHA tries CP932 first), cp437, cp850,\n"
     "cp866, cp932, cp936, cp949, koi8-r, latin1 or utf-8.",
     1, 4, RunList},
    {"extract", "extract FILE DIR [SPEC] [--dirs] [--password PW]... [--names ENCODING]",
     "Extracts the members of a ZIP, LHA, ARJ or ARC archive (plain or self-extracting; an\n"
     "ARJ set split into volumes is named by its first volume) or of a ZOO archive whose\n"
     "names match SPEC (default \"*.*\") into DIR. --dirs keeps the members' stored folders\n"
     "below DIR (ZIP, ARJ; LHA folders stored in the name); each --password is tried in\n"
     "order on encrypted ZIP members; --names as for list, and a SPEC names members as list\n"
     "shows them with the same --names. Prints one line per member written:\n"
     "\"ok\" or \"crc\" (its check value failed), a tab and the output path. A member that\n"
     "cannot be read or written whole gets an error line instead. Exit status 0 only when\n"
     "every selected member was written with a good check value.",
     2, SIZE_MAX, RunExtract},
};

void PrintHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: orvello-arc COMMAND ARGUMENTS...\n"
                 "       orvello-arc --help | --version\n\nCommands:\n");
    for (const Command& c : kCommands) {
        std::fprintf(out, "\n  orvello-arc %s\n", c.synopsis);
        std::string help = c.help;
        std::size_t start = 0;
        while (start < help.size()) {
            const auto end = help.find('\n', start);
            std::fprintf(out, "    %s\n", help.substr(start, end - start).c_str());
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    std::fprintf(out,
                 "\nErrors and warnings go to standard error as \"error CODE: TEXT\" or \"warning "
                 "CODE: TEXT\",\n"
                 "followed by a tab and the file concerned. Exit status: 0 on success, 1 when the\n"
                 "operation failed, 2 for a usage error.\n");
}

}  // namespace

int main(int argc, char** argv) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    if (argc < 2) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(stdout);
        return kExitOk;
    }
    if (name == "--version" || name == "-V") {
        std::printf("orvello-arc %s\n", ORVELLO_VERSION);
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (name != c.name) continue;
        const Args args(argv + 2, argv + argc);
        if (args.size() < c.minArgs || args.size() > c.maxArgs) {
            std::fprintf(stderr, "usage: orvello-arc %s\n", c.synopsis);
            return kExitUsage;
        }
        return c.run(args);
    }
    std::fprintf(stderr, "orvello-arc: unknown command \"%s\" (see orvello-arc --help)\n",
                 name.c_str());
    return kExitUsage;
}
