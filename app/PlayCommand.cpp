#include "app/PlayCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <functional>
#include <vector>

#include "app/Application.h"
#include "app/Main.h"
#include "app/PrintCommand.h"
#include "app/core/IniFile.h"
#include "app/core/LaunchCommand.h"
#include "archive/ArcLister.h"
#include "archive/Extractors.h"
#include "platform/ProcessLaunch.h"
#include "selector/SelectorNames.h"

namespace orvello {

namespace {

// Messages of the archive library, to the error stream; a question is answered "no".
class LibraryStreamHost final : public archive::ArcHost {
  public:
    explicit LibraryStreamHost(QTextStream& err) : err_(err) {}
    void ShowWarning(const std::string& text) override { Say(text); }
    void ShowInformation(const std::string& text) override { Say(text); }
    bool AskYesNo(const std::string& text) override {
        Say(text);
        return false;
    }

  private:
    void Say(const std::string& text) {
        err_ << QString::fromStdString(text) << '\n';
        err_.flush();
    }
    QTextStream& err_;
};

// The extraction runs where it is called; the command started goes to the output.
class TerminalUi final : public LaunchUi {
  public:
    explicit TerminalUi(QTextStream& out) : out_(out) {}
    void RunExtraction(const std::function<void()>& extraction,
                       const std::function<void()>&) override {
        extraction();
    }
    void ExtractionProgress(const std::string&, int) override {}
    void OnWindowsThread(const std::function<void()>& work) override { work(); }
    void ExtractionCancelled() override {}
    void EmulatorRunning(const QString& commandLine) override {
        out_ << commandLine << '\n';
        out_.flush();
    }
    void EmulatorEnded() override {}

  private:
    QTextStream& out_;
};

class SpawnedProcess final : public ProcessRunner {
  public:
    QString Start(const std::vector<std::string>& argv, const std::string& workDir) override {
        return child_.Start(argv, workDir);
    }
    int WaitForEnd() override { return child_.WaitForEnd(); }

  private:
    platform::ChildProcess child_;
};

}  // namespace

TerminalArchives::TerminalArchives(QTextStream& err)
    : host_(std::make_unique<LibraryStreamHost>(err)) {}

TerminalArchives::~TerminalArchives() = default;

archive::TUnBase* TerminalArchives::ExtractorFor(archive::TArcType type) {
    if (type != type_) return nullptr;
    if (!extractor_) {
        extractor_ = archive::MakeExtractor(type);
        if (!extractor_) return nullptr;
        extractor_->Host = host_.get();
        extractor_->UseStoredDirs = false;
        extractor_->SetFileSpec("*.*");
        // What is there already is never replaced.
        extractor_->OnFileExists = [](archive::TZipCommon&, const std::string&, bool& accept) {
            accept = false;
        };
        try {
            extractor_->SetArchiveFile(archive_);
        } catch (const std::exception&) {
            // Reported through the extractor's own events; the extraction says so again.
        }
    }
    return extractor_.get();
}

std::optional<QString> TerminalArchives::Choose(AppState& state, EmulatorSlot slot,
                                                const QString& file,
                                                const std::optional<QString>& member) {
    const QFileInfo info(file);
    state.CurrentSlot = slot;
    state.SelectedFile = info.absoluteFilePath();
    state.RomFileName = info.fileName();
    state.RomBaseName = WithoutExtension(info.fileName());
    const std::optional<std::vector<std::string>> listed = ListMembers(file);
    if (IsGameNameSlot(slot)) {
        state.RomIsPlainFile = false;
        if (member)
            return QStringLiteral("%1 plays whole archives: name no member.")
                .arg(QString::fromUtf8(Slots.at(slot).tabCaption));
        return std::nullopt;
    }
    if (!listed) {
        state.RomIsPlainFile = true;
        if (member) return QStringLiteral("Not an archive Orvello can open: %1").arg(file);
        return std::nullopt;
    }
    state.RomIsPlainFile = false;
    const std::vector<std::string>& names = *listed;
    std::vector<std::string> chosen;
    if (member) {
        const std::string wanted = member->toStdString();
        for (const std::string& name : names) {
            if (name == wanted) chosen.push_back(name);
        }
        if (chosen.empty()) return QStringLiteral("No member \"%1\" in %2").arg(*member, file);
    } else {
        const QStringList masks = AppState::RomMask(slot).split(QLatin1Char(';'));
        for (const std::string& name : names) {
            if (QDir::match(masks, QString::fromStdString(name))) chosen.push_back(name);
        }
        if (chosen.size() != 1) {
            return QStringLiteral(
                       "%1 holds %2 members of the ROM types of %3; name the one to "
                       "play.")
                .arg(file)
                .arg(chosen.size())
                .arg(QString::fromUtf8(Slots.at(slot).tabCaption));
        }
    }
    member_ = chosen.front();
    state.RomFileName = QString::fromStdString(member_);
    state.RomBaseName = WithoutExtension(state.RomFileName);
    return std::nullopt;
}

std::optional<std::vector<std::string>> TerminalArchives::ListMembers(const QString& file) {
    const QFileInfo info(file);
    archive_ = FileSystemBytes(info.absoluteFilePath());
    extractor_.reset();
    archive::TArcLister lister;
    lister.Host = host_.get();
    lister.SetFileSpec("*.*");
    std::vector<std::string> names;
    lister.OnRead = [&names](archive::TZipCommon& sender, std::int64_t, std::int32_t) {
        std::string name = StoredFileNamePart(sender.FileName);
        if (!name.empty()) names.push_back(std::move(name));
    };
    if (info.isFile()) {
        try {
            lister.SetArchiveFile(archive_);
        } catch (const std::exception&) {
            // The type says what was found.
        }
    }
    type_ = lister.ArcType();
    if (!info.isFile() || archive::MakeExtractor(type_) == nullptr) return std::nullopt;
    try {
        lister.Activate();
    } catch (const std::exception&) {
        // What was listed before the damage can still be chosen.
    }
    return names;
}

int PlayFromTerminal(const QStringList& arguments, const QString& settingsFolder, QTextStream& out,
                     QTextStream& err, const QString& program) {
    const std::optional<int> slot = TabArgument(arguments, 2, 3, err, program);
    if (!slot) return 2;
    StreamMessages host(err);
    OrvelloApp app(host, settingsFolder);
    AppState& state = app.State();
    bool keepExtracted = false;
    {
        IniFile ini(app.MainForm()->SettingsPath());
        app.MainForm()->LoadEmulatorSections(ini);
        state.Runners = ReadRunnerSettings(ini);
        keepExtracted =
            ini.ReadBoolean(QStringLiteral("Common"), QStringLiteral("Save ROMs"), false);
    }
    const QString file = arguments[1];
    if (!QFileInfo(file).isFile()) {
        err << QStringLiteral("ROM file not found: ") << file << '\n';
        return NotStartedStatus;
    }
    TerminalArchives archives(err);
    const std::optional<QString> member =
        arguments.size() == 3 ? std::optional<QString>(arguments[2]) : std::nullopt;
    if (const auto refused = archives.Choose(state, *slot, file, member)) {
        err << *refused << '\n';
        return NotStartedStatus;
    }
    TerminalUi ui(out);
    SpawnedProcess runner;
    Launcher launcher(state, host, archives, runner, ui);
    launcher.LaunchRom(keepExtracted);
    err.flush();
    out.flush();
    return launcher.ExitStatus().value_or(NotStartedStatus);
}

}  // namespace orvello
