// A file named on the command line ("Open with Orvello" in a file manager): the selector opens
// on its folder with the file chosen and an archive's members listed; a missing file, or one
// that is neither an archive nor one of the tab's ROMs, is reported and nothing is chosen.
#include <gtest/gtest.h>

#include <QDir>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "archive/ZipBuilder.h"
#include "selector/OnFlyROMSelector.h"
#include "selector/SelectorModels.h"

using namespace orvello;
using namespace orvello::test;
using orvello::testing::BuildZip;
using orvello::testing::Entry;
using orvello::testing::Text;

namespace {

class OpenGivenFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedFolder_ = QDir::currentPath();
        // The games folder is elsewhere: the given file's folder is the one shown.
        QDir().mkpath(dir_.filePath("games"));
        QDir().mkpath(dir_.filePath("downloads"));
        QDir().mkpath(dir_.filePath("settings"));
        WriteFile(
            dir_.filePath("settings/WINORVEL.INI"),
            "[Common]\nAutoPreview=0\n[S9x]\nGamesDir=" + dir_.filePath("games").toUtf8() + "\n");
        app_ = std::make_unique<OrvelloApp>(host_, dir_.filePath("settings"));
        ASSERT_TRUE(ShowActive(app_->MainForm()));
    }
    void TearDown() override {
        app_.reset();
        QDir::setCurrent(savedFolder_);
    }
    QStringList Members() const {
        QStringList names;
        for (int row = 0; row < Sel()->Members()->Count(); ++row)
            names << Sel()->Members()->At(row).caption;
        return names;
    }
    TOnFlyForm* Sel() const { return app_->OnFlyForm(); }

    QTemporaryDir dir_;
    QString savedFolder_;
    FakeHost host_;
    std::unique_ptr<OrvelloApp> app_;
};

TEST_F(OpenGivenFileTest, AnArchiveOpensInTheSelectorWithItsMembersListed) {
    const QString zip = dir_.filePath("downloads/Two Games.zip");
    WriteFile(zip, Bytes(BuildZip({Entry("Star Quest (U).smc", Text(std::string(600, 'a'))),
                                   Entry("Moon Race (E).smc", Text(std::string(40, 'b')))})));
    app_->MainForm()->OpenGivenFile(zip);

    EXPECT_TRUE(host_.messages.empty()) << host_.Texts().front().toStdString();
    ASSERT_TRUE(Sel()->isVisible());
    EXPECT_EQ(Sel()->Folder(), dir_.filePath("downloads"));
    EXPECT_EQ(app_->State().SelectedFile, zip);
    EXPECT_TRUE(Sel()->FileIsArchive);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Members().size() == 2; }));
    EXPECT_EQ(Members(), QStringList({"Moon Race (E).smc", "Star Quest (U).smc"}));
}

TEST_F(OpenGivenFileTest, APlainRomBringsUpTheTabOfItsEmulatorAndIsChosen) {
    const QString rom = dir_.filePath("downloads/Star Quest (U).smc");
    WriteFile(rom, QByteArray(512, 'x'));
    // The program starts on Magic Engine's tab, which takes no SNES ROMs.
    ASSERT_EQ(QString::fromUtf8(Slots.at(app_->State().CurrentSlot).tabCaption), "Magic Engine");
    app_->MainForm()->OpenGivenFile(rom);

    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(QString::fromUtf8(Slots.at(app_->State().CurrentSlot).tabCaption), "SNES9x");
    ASSERT_TRUE(Sel()->isVisible());
    EXPECT_EQ(Sel()->Folder(), dir_.filePath("downloads"));
    EXPECT_EQ(app_->State().SelectedFile, rom);
    EXPECT_FALSE(Sel()->FileIsArchive);
}

TEST_F(OpenGivenFileTest, AnArchiveBringsUpTheTabWhoseRomTypesTakeItsMembers) {
    // Magic Engine is up; the archive holds a Game Boy ROM and a text file.
    const QString zip = dir_.filePath("downloads/Pocket.zip");
    WriteFile(zip, Bytes(BuildZip({Entry("readme.txt", Text("read me")),
                                   Entry("Pocket Hero (E).gb", Text(std::string(64, 'g')))})));
    app_->MainForm()->OpenGivenFile(zip);
    EXPECT_TRUE(host_.messages.empty()) << host_.Texts().front().toStdString();
    EXPECT_EQ(QString::fromUtf8(Slots.at(app_->State().CurrentSlot).tabCaption), "Virtual GameBoy");
    EXPECT_EQ(app_->State().SelectedFile, zip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Members().size() == 2; }, 5000));

    // A tab that takes a member stays up, even when an earlier tab would take it too.
    app_->MainForm()->EmuList->setCurrentIndex(SlotNLKSNES);
    const QString snes = dir_.filePath("downloads/Snes.zip");
    WriteFile(snes, Bytes(BuildZip({Entry("Star Quest (U).smc", Text("s"))})));
    app_->MainForm()->OpenGivenFile(snes);
    EXPECT_EQ(app_->State().CurrentSlot, SlotNLKSNES);
    EXPECT_EQ(app_->State().SelectedFile, snes);
}

TEST_F(OpenGivenFileTest, MissingOrUnplayableFilesAreReportedAndNothingIsChosen) {
    const QString missing = dir_.filePath("downloads/gone.zip");
    app_->MainForm()->OpenGivenFile(missing);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, "File not found: " + missing);
    EXPECT_FALSE(Sel()->isVisible());

    const QString notes = dir_.filePath("downloads/notes.txt");
    WriteFile(notes, "not a ROM");
    app_->MainForm()->OpenGivenFile(notes);
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_TRUE(host_.messages[1].text.contains(notes)) << host_.messages[1].text.toStdString();
    EXPECT_TRUE(app_->State().SelectedFile.isEmpty());

    app_->MainForm()->OpenGivenFile(dir_.filePath("downloads"));
    ASSERT_EQ(host_.messages.size(), 3u);
    EXPECT_TRUE(app_->State().SelectedFile.isEmpty());
}

}  // namespace
