// The programs that start emulators Linux cannot start by itself: DOSBox for DOS programs and
// Wine for Windows programs. Each slot names its runner ("Automatic" picks it by the kind of
// the emulator program); the runners' paths and extra options are shared by all slots.
#pragma once

#include <QString>

#include <optional>

#include "platform/pe/ProgramKind.h"

namespace orvello {

class IniFile;

// A slot's choice, as kept under the key "Runner" of its section.
enum class RunnerChoice { Automatic = 0, Directly = 1, DOSBox = 2, Wine = 3 };

// The choice a stored number stands for: anything but 0 to 3 is Automatic.
RunnerChoice RunnerChoiceOf(int stored);

// How an emulator is started in the end.
enum class Runner { Direct, DOSBox, Wine };

// The runner of a choice for a program of the given kind: Automatic starts DOS programs with
// DOSBox, Windows programs with Wine and everything else directly.
Runner RunnerFor(RunnerChoice choice, platform::ProgramKind kind);

// "Directly", "DOSBox" or "Wine".
QString RunnerName(Runner runner);

// "DOS program: started with DOSBox", as "Find emu" reports the choice of a program.
QString StartedWithText(platform::ProgramKind kind, Runner runner);

// The runners' programs and options, kept under "[Common]".
struct RunnerSettings {
    QString dosbox = QStringLiteral("dosbox");
    QString dosboxOptions;
    QString wine = QStringLiteral("wine");
    QString wineOptions;

    bool operator==(const RunnerSettings&) const = default;
};

RunnerSettings ReadRunnerSettings(const IniFile& ini);
// Throws SettingsWriteError as every settings write does.
void WriteRunnerSettings(IniFile& ini, const RunnerSettings& settings);

// The program a runner setting names: a path (it holds a "/") when it is an executable file,
// a bare name when the search path has it. Nothing when it cannot be found.
std::optional<QString> FindRunnerProgram(const QString& setting);

// The message when a runner cannot be found; emulator names the emulator program.
QString RunnerMissingText(const QString& emulator, platform::ProgramKind kind, Runner runner,
                          bool chosen);

}  // namespace orvello
