// The launch with the real ZIP extractor on archives written by the test, a process starter
// that records what it was asked, and windows that record what they were told: the command
// line of each launch form, the clean-up rules (only what the launch wrote goes), the refusals
// and their messages, and the progress and minimising hooks.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/core/Launch.h"
#include "app/core/LaunchCommand.h"
#include "archive/UnZIP.h"
#include "archive/ZipBuilder.h"

using namespace orvello;
using archive::TArcType;
using orvello::testing::BuildZip;
using orvello::testing::Entry;
using orvello::testing::Text;
using orvello::testing::ZipEntry;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

class RecordingHost : public UiHost {
  public:
    void ShowMessage(MessageKind kind, const QString& text) override {
        messages.push_back(text);
        kinds.push_back(kind);
    }
    bool AskYesNo(MessageKind, const QString&) override { return false; }
    std::optional<QString> PromptText(const TextPrompt&) override { return std::nullopt; }
    std::optional<QString> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
    std::optional<QString> BrowseFolder(const FolderRequest&) override { return std::nullopt; }

    QStringList messages;
    std::vector<MessageKind> kinds;
};

// Hands the launch the extractor the selector would: UnZIP for every ZIP type (the selector
// gives it the archive for the PKZIP 2.50 types too), nothing for the formats without one.
class FakeArchives : public LaunchArchives {
  public:
    TArcType ArchiveType() const override { return type; }
    archive::TUnBase* ExtractorFor(TArcType t) override {
        if (other != nullptr) return other;
        const int i = static_cast<int>(t);
        if (i >= static_cast<int>(TArcType::atZIP) && i <= static_cast<int>(TArcType::atZip250Exe))
            return zip;
        return nullptr;
    }
    std::string ChosenMemberRawName() const override { return raw; }

    TArcType type = TArcType::atNA;
    archive::TUnBase* zip = nullptr;
    archive::TUnBase* other = nullptr;
    std::string raw;
};

class FakeRunner : public ProcessRunner {
  public:
    QString Start(const std::vector<std::string>& a, const std::string& dir) override {
        ++starts;
        argv = a;
        workDir = dir;
        return failure;
    }
    int WaitForEnd() override {
        ++waits;
        if (whileRunning) whileRunning();
        return exitStatus;
    }

    int starts = 0;
    int waits = 0;
    Args argv;
    std::string workDir;
    QString failure;
    int exitStatus = 0;
    std::function<void()> whileRunning;
};

class FakeUi : public LaunchUi {
  public:
    void RunExtraction(const std::function<void()>& extraction,
                       const std::function<void()>& cancel) override {
        events.push_back("begin");
        cancel_ = cancel;
        extraction();
        events.push_back("end");
    }
    void ExtractionProgress(const std::string& member, int percent) override {
        events.push_back(QString::fromStdString(member) + ' ' + QString::number(percent));
        if (cancelAtProgress) cancel_();
    }
    void OnWindowsThread(const std::function<void()>& work) override {
        events.push_back("windows thread");
        work();
    }
    void ExtractionCancelled() override { events.push_back("cancelled"); }
    void EmulatorRunning(const QString& commandLine) override {
        events.push_back("running: " + commandLine);
    }
    void EmulatorEnded() override { events.push_back("ended"); }

    QStringList events;
    // The user presses "Cancel" as soon as the progress shows.
    bool cancelAtProgress = false;

  private:
    std::function<void()> cancel_;
};

// An extractor of a format that has none yet: writes its members as told and can fail as an
// LHA or ZOO archive that cannot be processed as a whole does, by letting an error escape.
class ScriptedExtractor : public archive::TUnBase {
  public:
    std::vector<std::pair<std::string, std::string>> members;  // stored name, content
    bool failAtEnd = false;
    // Members written but failing their check (a damaged member leaves its file behind).
    std::vector<std::string> failing;

  protected:
    void DoExtract() override {
        for (const auto& [stored, content] : members) {
            SetFileName(stored);
            bool extract = true;
            std::error_code ec;
            if (OnFileExists && fs::symlink_status(FileName, ec).type() != fs::file_type::not_found)
                OnFileExists(*this, FileName, extract);
            if (extract && OnBegin) OnBegin(*this, FileName, 1, extract);
            if (!extract) continue;
            std::ofstream(FileName, std::ios::binary) << content;
            if (OnProgress) OnProgress(*this, FileName, 100);
            const bool pass = std::find(failing.begin(), failing.end(), stored) == failing.end();
            if (OnEnd) OnEnd(*this, FileName, pass);
        }
        if (failAtEnd) throw archive::E_RAISE(archive::errBadFileHeader);
    }
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The names in a folder, sorted.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class LaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString();
        fs::create_directories(root_ / "emu");
        fs::create_directories(root_ / "roms");
        Write(root_ / "emu" / "emulator", "#!/bin/sh\n");
        fs::permissions(root_ / "emu" / "emulator", fs::perms::owner_all);
        // What the selector sets up on its ZIP extractor.
        unzip_.UseStoredDirs = false;
        unzip_.OnFileExists = [this](archive::TZipCommon&, const std::string&, bool& accept) {
            ++selectorRefusals_;
            accept = false;
        };
        archives_.zip = &unzip_;
        state_.EmuPath[SlotSNES9x] = Emu();
        state_.EmuPath[SlotZSNES] = Emu();
        state_.EmuPath[SlotMAME] = Emu();
        state_.Switches[SlotSNES9x] = " -y";
        state_.Switches[SlotZSNES] = "-m -v 2";
        state_.Switches[SlotMAME] = " -noartwork  -ror";
    }

    QString Emu() const { return QString::fromStdString((root_ / "emu" / "emulator").string()); }
    fs::path EmuDir() const { return root_ / "emu"; }

    // Selects an archive written from the entries, as the selector's click does.
    void SelectArchive(const std::string& name,
                       const std::vector<orvello::testing::ZipEntry>& entries) {
        const auto bytes = BuildZip(entries);
        const fs::path path = root_ / "roms" / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        SelectArchiveFile(path);
    }
    void SelectArchiveFile(const fs::path& path) {
        unzip_.SetArchiveFile(path.string());
        archives_.type = unzip_.ArcType();
        state_.SelectedFile = QString::fromStdString(path.string());
        state_.RomFileName = QString::fromStdString(path.filename().string());
        state_.RomBaseName = QString::fromStdString(path.stem().string());
        state_.RomIsPlainFile = false;
    }
    // Selects an archive of a format another extractor reads.
    void SelectOther(archive::TUnBase& extractor, TArcType type, const std::string& name) {
        archives_.type = type;
        archives_.other = &extractor;
        const fs::path path = root_ / "roms" / name;
        state_.SelectedFile = QString::fromStdString(path.string());
        state_.RomBaseName = QString::fromStdString(path.stem().string());
        state_.RomIsPlainFile = false;
    }
    // Chooses a member of the selected archive by the name the lister gives it (UTF-8), as
    // the contents list does.
    void ChooseMember(const std::string& name) {
        archives_.raw = name;
        const std::string file = name.substr(name.find_last_of('/') + 1);
        state_.RomFileName = QString::fromStdString(file);
        state_.RomBaseName = QFileInfo(state_.RomFileName).completeBaseName();
    }

    void Launch(EmulatorSlot slot, bool keep) {
        state_.CurrentSlot = slot;
        launcher_.LaunchRom(keep);
    }

    QTemporaryDir dir_;
    fs::path root_;
    AppState state_;
    RecordingHost host_;
    FakeArchives archives_;
    FakeRunner runner_;
    FakeUi ui_;
    archive::TUnZIP unzip_;
    int selectorRefusals_ = 0;
    Launcher launcher_{state_, host_, archives_, runner_, ui_};
};

}  // namespace

TEST_F(LaunchTest, PlainRomInTheSnes9xSlot) {
    const fs::path rom = root_ / "roms" / "Super Game.smc";
    Write(rom, "rom");
    state_.SelectedFile = QString::fromStdString(rom.string());
    state_.RomFileName = "Super Game.smc";
    state_.RomBaseName = "Super Game";
    state_.RomIsPlainFile = true;
    Launch(SlotSNES9x, false);

    EXPECT_EQ(runner_.argv, (Args{Emu().toStdString(), "-y", rom.string()}));
    EXPECT_EQ(runner_.workDir, EmuDir().string());
    EXPECT_EQ(launcher_.CommandLine(), Emu() + "  -y " + state_.SelectedFile);
    EXPECT_EQ(state_.LaunchTarget, state_.SelectedFile);
    // The status bar gets the quoted line the preview shows.
    EXPECT_EQ(ui_.events,
              (QStringList{"running: " + Emu() + " -y '" + state_.SelectedFile + "'", "ended"}));
    EXPECT_TRUE(fs::exists(rom));  // a plain ROM is never deleted
    EXPECT_TRUE(host_.messages.isEmpty());
}

TEST_F(LaunchTest, MemberIsExtractedIntoTheEmulatorsFolderAndDeletedAfterTheRun) {
    SelectArchive("games.zip",
                  {Entry("Other.smc", Text("other")), Entry("Game.smc", Text("game"))});
    ChooseMember("Game.smc");
    std::string seenWhileRunning;
    runner_.whileRunning = [&] {
        seenWhileRunning = Read(EmuDir() / "Game.smc");
        EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"Game.smc", "emulator"}));
    };
    Launch(SlotZSNES, false);

    // The member is named by its file name alone; the working folder finds it.
    EXPECT_EQ(runner_.argv, (Args{Emu().toStdString(), "-m", "-v", "2", "Game.smc"}));
    EXPECT_EQ(runner_.workDir, EmuDir().string());
    EXPECT_EQ(launcher_.CommandLine(), Emu() + " -m -v 2 Game.smc");
    EXPECT_EQ(seenWhileRunning, "game");
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
    EXPECT_EQ(state_.LaunchTarget, QString::fromStdString((EmuDir() / "Game.smc").string()));
    EXPECT_TRUE(host_.messages.isEmpty());
}

TEST_F(LaunchTest, KeptMemberStaysAndIsUsedAgainUnchanged) {
    SelectArchive("games.zip", {Entry("Game.smc", Text("game"))});
    ChooseMember("Game.smc");
    Launch(SlotZSNES, true);
    EXPECT_EQ(Read(EmuDir() / "Game.smc"), "game");
    EXPECT_EQ(state_.LaunchTarget, "Game.smc");

    // The next launch finds it there: it is not written again, and with keeping now off it
    // still stays, since that launch did not write it.
    Write(EmuDir() / "Game.smc", "kept and patched");
    Launch(SlotZSNES, false);
    EXPECT_EQ(runner_.starts, 2);
    EXPECT_EQ(Read(EmuDir() / "Game.smc"), "kept and patched");
    EXPECT_GE(selectorRefusals_, 1);  // the selector's own answer was asked, too
    EXPECT_TRUE(host_.messages.isEmpty());
}

TEST_F(LaunchTest, TheChosenMemberIsTheOneWrittenAmongLookalikes) {
    // The file spec is a wildcard pattern and matches letters of any case; only the chosen
    // member may land.
    SelectArchive("games.zip", {Entry("GAME.SMC", Text("upper")), Entry("g?me.smc", Text("odd")),
                                Entry("eu/game.smc", Text("chosen"))});
    ChooseMember("eu/game.smc");
    std::vector<std::string> whileRunning;
    runner_.whileRunning = [&] { whileRunning = Names(EmuDir()); };
    Launch(SlotSNES9x, false);
    EXPECT_EQ(whileRunning, (std::vector<std::string>{"emulator", "game.smc"}));
    EXPECT_EQ(runner_.argv.back(), "game.smc");
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
}

TEST_F(LaunchTest, DosMemberNameIsExtractedAndHandedOverAsUtf8) {
    const std::string utf8 = "Sp\xC3\xBCl.smc";
    SelectArchive("games.zip", {Entry("Sp\x81l.smc", Text("cp437"))});  // 0x81 is DOS u-umlaut
    ChooseMember(utf8);
    std::string seen;
    runner_.whileRunning = [&] { seen = Read(EmuDir() / utf8); };
    Launch(SlotSNES9x, false);
    EXPECT_EQ(seen, "cp437");
    EXPECT_EQ(runner_.argv.back(), utf8);
    EXPECT_EQ(launcher_.CommandLine(), Emu() + "  -y " + state_.RomFileName);
    EXPECT_FALSE(fs::exists(EmuDir() / utf8));
}

TEST_F(LaunchTest, MemberThatCannotBeDeletedAfterTheRunIsReported) {
    SelectArchive("games.zip", {Entry("Game.smc", Text("game"))});
    ChooseMember("Game.smc");
    // The emulator leaves something in the ROM's place that cannot simply be removed.
    runner_.whileRunning = [&] {
        fs::remove(EmuDir() / "Game.smc");
        fs::create_directories(EmuDir() / "Game.smc" / "saves");
    };
    Launch(SlotZSNES, false);
    EXPECT_EQ(host_.messages, (QStringList{"Can't delete ROM"}));
    EXPECT_EQ(host_.kinds.front(), MessageKind::Information);
    EXPECT_TRUE(fs::exists(EmuDir() / "Game.smc" / "saves"));
    EXPECT_EQ(state_.LaunchTarget, QString::fromStdString((EmuDir() / "Game.smc").string()));
}

TEST_F(LaunchTest, Zip250MemberCannotBePlayed) {
    SelectArchiveFile(fs::path(ORVELLO_FIXTURES) / "archives" / "detect" / "ZIP250.ZIP");
    ASSERT_EQ(archives_.type, TArcType::atZip250);
    ChooseMember("GAME.SMC");
    Launch(SlotZSNES, false);
    EXPECT_EQ(host_.messages, (QStringList{"Extraction of this file type is not supported.",
                                           "Can't extract ROM (disk full?)"}));
    EXPECT_EQ(host_.kinds,
              (std::vector<MessageKind>{MessageKind::Information, MessageKind::Error}));
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_TRUE(ui_.events.isEmpty());
}

TEST_F(LaunchTest, FormatWithoutAnExtractorYetCannotBePlayedInEitherForm) {
    archives_.type = TArcType::atLHA;
    state_.SelectedFile = QString::fromStdString((root_ / "roms" / "pacman.lzh").string());
    state_.RomBaseName = "pacman";
    ChooseMember("GAME.SMC");
    Launch(SlotZSNES, false);
    state_.RomBaseName = "pacman";
    Launch(SlotMAME, false);
    EXPECT_EQ(host_.messages, (QStringList{"Extraction of this file type is not supported.",
                                           "Can't extract ROM (disk full?)",
                                           "Extraction of this file type is not supported.",
                                           "Can't extract ROMs (disk full?)"}));
    EXPECT_EQ(runner_.starts, 0);
    // The game folder made for the attempt does not stay behind.
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
}

TEST_F(LaunchTest, EmulatorIsNeverStartedOnAMemberThatIsNotThere) {
    // A stored name that would leave the folder, a member that is not in the archive, and a
    // member whose data is damaged beyond writing: none starts the emulator.
    SelectArchive("games.zip", {Entry("../evil.smc", Text("x")), Entry("Game.smc", Text("ok"))});
    for (const char* stored : {"../evil.smc", "Missing.smc", "/"}) {
        host_.messages.clear();
        ChooseMember(stored);
        Launch(SlotZSNES, false);
        EXPECT_EQ(host_.messages, (QStringList{"Can't extract ROM (disk full?)"})) << stored;
    }
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_FALSE(fs::exists(root_ / "evil.smc"));
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
}

TEST_F(LaunchTest, WholeArchiveInTheMameSlotGoesIntoAFolderNamedAfterTheGame) {
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e")), Entry("pacman.6f", Text("6f")),
                                 Entry("roms/pacman.6h", Text("6h"))});
    std::vector<std::string> whileRunning;
    runner_.whileRunning = [&] { whileRunning = Names(EmuDir() / "pacman"); };
    Launch(SlotMAME, false);

    EXPECT_EQ(runner_.argv, (Args{Emu().toStdString(), "pacman", "-noartwork", "-ror"}));
    EXPECT_EQ(runner_.workDir, EmuDir().string());
    EXPECT_EQ(launcher_.CommandLine(), Emu() + " pacman  -noartwork  -ror");
    EXPECT_EQ(whileRunning, (std::vector<std::string>{"pacman.6e", "pacman.6f", "pacman.6h"}));
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
    EXPECT_EQ(state_.LaunchTarget, QString::fromStdString((EmuDir() / "pacman").string()));
    EXPECT_TRUE(host_.messages.isEmpty());

    Launch(SlotMAME, true);
    EXPECT_EQ(Names(EmuDir() / "pacman"),
              (std::vector<std::string>{"pacman.6e", "pacman.6f", "pacman.6h"}));
}

TEST_F(LaunchTest, GameFolderThatAlreadyHeldFilesKeepsThem) {
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e")), Entry("pacman.6f", Text("6f"))});
    fs::create_directories(EmuDir() / "pacman");
    Write(EmuDir() / "pacman" / "hiscore.dat", "mine");
    Write(EmuDir() / "pacman" / "pacman.6e", "my own dump");
    // The emulator writes a file of its own into the folder while it runs.
    runner_.whileRunning = [&] { Write(EmuDir() / "pacman" / "pacman.cfg", "cfg"); };
    Launch(SlotMAME, false);

    EXPECT_EQ(runner_.starts, 1);
    EXPECT_EQ(Names(EmuDir() / "pacman"),
              (std::vector<std::string>{"hiscore.dat", "pacman.6e", "pacman.cfg"}));
    EXPECT_EQ(Read(EmuDir() / "pacman" / "pacman.6e"), "my own dump");
    EXPECT_TRUE(host_.messages.isEmpty());
}

TEST_F(LaunchTest, GameKeptEarlierIsPlayedAgainFromItsFolder) {
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e"))});
    Launch(SlotMAME, true);
    Launch(SlotMAME, false);  // nothing new is written, and nothing is lost
    EXPECT_EQ(runner_.starts, 2);
    EXPECT_EQ(Names(EmuDir() / "pacman"), (std::vector<std::string>{"pacman.6e"}));
    EXPECT_TRUE(host_.messages.isEmpty());
}

TEST_F(LaunchTest, GameFolderMadeByTheLaunchStaysWhenTheEmulatorLeftFilesInIt) {
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e"))});
    runner_.whileRunning = [&] { Write(EmuDir() / "pacman" / "pacman.nv", "nvram"); };
    Launch(SlotMAME, false);
    EXPECT_EQ(Names(EmuDir() / "pacman"), (std::vector<std::string>{"pacman.nv"}));
}

TEST_F(LaunchTest, GameNamesThatWouldLeaveTheEmulatorsFolderAreRefused) {
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e"))});
    state_.EmuPath[SlotCallus] = Emu();
    for (const char* game : {"", ".", "..", "../up"}) {
        host_.messages.clear();
        state_.RomBaseName = game;
        Launch(SlotCallus, false);
        EXPECT_EQ(host_.messages, (QStringList{"Can't extract ROMs (disk full?)"})) << game;
    }
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
    EXPECT_EQ(Names(root_), (std::vector<std::string>{"emu", "roms"}));
    EXPECT_EQ(Names(root_ / "roms"), (std::vector<std::string>{"pacman.zip"}));
}

TEST_F(LaunchTest, ArchiveLevelErrorStopsTheGameLaunchAndTakesBackWhatWasWritten) {
    ScriptedExtractor lha;
    lha.members = {{"pacman.6e", "6e"}};
    lha.failAtEnd = true;
    SelectOther(lha, TArcType::atLHA, "pacman.lzh");
    state_.RomBaseName = "pacman";
    Launch(SlotMAME, false);
    EXPECT_EQ(host_.messages, (QStringList{"Can't extract ROMs (disk full?)"}));
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));

    // Kept, the partial result stays for the user to look at.
    host_.messages.clear();
    Launch(SlotMAME, true);
    EXPECT_EQ(Names(EmuDir() / "pacman"), (std::vector<std::string>{"pacman.6e"}));
}

TEST_F(LaunchTest, FormatsPlugInThroughTheSelectorsExtractor) {
    // Once a format has an extractor, the launch uses it without knowing more of it.
    ScriptedExtractor arj;
    arj.members = {{"GAME.SMC", "arj member"}};
    SelectOther(arj, TArcType::atArjExe, "games.exe");
    ChooseMember("GAME.SMC");
    std::string seen;
    runner_.whileRunning = [&] { seen = Read(EmuDir() / "GAME.SMC"); };
    Launch(SlotSNES9x, false);
    EXPECT_EQ(seen, "arj member");
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
}

TEST_F(LaunchTest, ProgramThatCannotStartIsReportedAndTheLaunchCleansUp) {
    SelectArchive("games.zip", {Entry("Game.smc", Text("game"))});
    ChooseMember("Game.smc");
    runner_.failure = "Permission denied";
    Launch(SlotZSNES, false);
    EXPECT_EQ(host_.messages,
              (QStringList{"Can't start \"" + Emu() + "\": Permission denied (a Linux program)"}));
    EXPECT_EQ(host_.kinds.front(), MessageKind::Error);
    EXPECT_EQ(runner_.waits, 0);
    EXPECT_FALSE(ui_.events.contains("ended"));
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
}

TEST_F(LaunchTest, NoEmulatorSetMeansNothingIsExtracted) {
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e"))});
    state_.EmuPath[SlotMAME].clear();
    Launch(SlotMAME, true);
    EXPECT_EQ(host_.messages, (QStringList{"No emulator program is set for M.A.M.E.."}));
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_EQ(Names(root_), (std::vector<std::string>{"emu", "roms"}));
    EXPECT_EQ(Names(root_ / "roms"), (std::vector<std::string>{"pacman.zip"}));
}

TEST_F(LaunchTest, ProgressReachesTheWindowsAndTheSelectorsEventsComeBack) {
    std::vector<std::uint8_t> big(300000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    SelectArchive("games.zip", {Entry("Big.smc", big)});
    ChooseMember("Big.smc");
    bool selectorProgress = false;
    unzip_.OnProgress = [&](archive::TZipCommon&, const std::string&, std::uint8_t) {
        selectorProgress = true;
    };
    Launch(SlotZSNES, false);

    ASSERT_GE(ui_.events.size(), 4);
    EXPECT_EQ(ui_.events.front(), "begin");
    EXPECT_EQ(ui_.events.indexOf("Big.smc 100"), ui_.events.indexOf("end") - 1);
    EXPECT_LT(ui_.events.indexOf("end"), ui_.events.indexOf(QRegularExpression("running: .*")));
    EXPECT_EQ(ui_.events.back(), "ended");
    EXPECT_TRUE(selectorProgress);
    // The launch's own handlers are gone again; the selector's are back.
    ASSERT_TRUE(unzip_.OnFileExists);
    EXPECT_TRUE(unzip_.OnProgress);
    EXPECT_FALSE(unzip_.OnBegin);
    bool accept = true;
    const int before = selectorRefusals_;
    unzip_.OnFileExists(unzip_, "x", accept);
    EXPECT_EQ(selectorRefusals_, before + 1);
}

TEST_F(LaunchTest, ALaunchAskedForWhileOneRunsIsIgnored) {
    SelectArchive("games.zip", {Entry("Game.smc", Text("game"))});
    ChooseMember("Game.smc");
    runner_.whileRunning = [&] { launcher_.LaunchRom(false); };
    Launch(SlotZSNES, false);
    EXPECT_EQ(runner_.starts, 1);
    EXPECT_FALSE(launcher_.Running());
}

TEST_F(LaunchTest, NothingChosenOrAPlainRomThatIsGoneStartsNothing) {
    // Nothing chosen: no start and nothing to say ("Play" is unavailable then).
    state_.RomIsPlainFile = true;
    Launch(SlotSNES9x, false);
    SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e"))});
    state_.SelectedFile.clear();  // the lister still holds the archive last looked at
    Launch(SlotMAME, false);
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_TRUE(host_.messages.isEmpty());
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));

    // A plain ROM deleted since it was chosen.
    const fs::path rom = root_ / "roms" / "Gone.smc";
    state_.SelectedFile = QString::fromStdString(rom.string());
    state_.RomIsPlainFile = true;
    Launch(SlotSNES9x, false);
    EXPECT_EQ(host_.messages, (QStringList{"ROM file not found: " + state_.SelectedFile}));
    EXPECT_EQ(host_.kinds.back(), MessageKind::Error);
    EXPECT_EQ(runner_.starts, 0);
}

TEST_F(LaunchTest, AMemberThatFailedIsNeverPlayedWhateverItLeftBehind) {
    // A member whose check fails leaves its (damaged) file: the extractor's verdict counts.
    ZipEntry bad = Entry("Game.smc", Text("damaged"));
    bad.crc = 0x12345678;
    SelectArchive("games.zip", {bad, Entry("Other.smc", Text("other"))});
    ChooseMember("Game.smc");
    Launch(SlotZSNES, false);
    EXPECT_EQ(host_.messages, (QStringList{"Can't extract ROM (disk full?)"}));
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));

    // The same for a game: one member that failed stops it, and what was written goes.
    host_.messages.clear();
    ScriptedExtractor lha;
    lha.members = {{"pacman.6e", "6e"}, {"pacman.6f", "damaged"}};
    lha.failing = {"pacman.6f"};
    SelectOther(lha, TArcType::atLHA, "pacman.lzh");
    Launch(SlotMAME, false);
    EXPECT_EQ(host_.messages, (QStringList{"Can't extract ROMs (disk full?)"}));
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
}

TEST_F(LaunchTest, ACancelledExtractionTakesBackAllItWroteAndStartsNothing) {
    std::vector<std::uint8_t> big(300000, 0x5A);
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "kept" : "deleted");
        ui_.events.clear();
        ui_.cancelAtProgress = true;
        SelectArchive("games.zip", {Entry("Game.smc", big)});
        ChooseMember("Game.smc");
        Launch(SlotZSNES, keep);
        EXPECT_EQ(runner_.starts, 0);
        EXPECT_TRUE(host_.messages.isEmpty()) << host_.messages.join('|').toStdString();
        EXPECT_EQ(ui_.events.back(), "cancelled");
        EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));

        // A game: the members written before the cancel and the folder made go too.
        ui_.events.clear();
        SelectArchive("pacman.zip", {Entry("pacman.6e", Text("6e")), Entry("pacman.6f", big)});
        Launch(SlotMAME, keep);
        EXPECT_EQ(runner_.starts, 0);
        EXPECT_TRUE(host_.messages.isEmpty());
        EXPECT_EQ(ui_.events.back(), "cancelled");
        EXPECT_EQ(Names(EmuDir()), (std::vector<std::string>{"emulator"}));
    }
    // And the next launch runs whole.
    ui_.cancelAtProgress = false;
    Launch(SlotMAME, false);
    EXPECT_EQ(runner_.starts, 1);
}
