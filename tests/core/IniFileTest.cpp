// The settings access layer against real files in a temporary folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/core/IniFile.h"

using namespace orvello;

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    QString Path(const QString& name = QStringLiteral("WINORVEL.INI")) const {
        return dir_.filePath(name);
    }
    void Write(const QByteArray& content, const QString& name = QStringLiteral("WINORVEL.INI")) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray Read(const QString& name = QStringLiteral("WINORVEL.INI")) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefaultAndCreatesNothing) {
    const QString nested = dir_.filePath("sub/folder/WINORVEL.INI");
    const IniFile missing(nested);
    EXPECT_EQ(missing.ReadText("Common", "X", "def"), "def");
    EXPECT_EQ(missing.ReadInteger("Common", "X", -1), -1);
    EXPECT_TRUE(missing.ReadBoolean("Common", "AutoPreview", true));
    EXPECT_FALSE(QFileInfo::exists(nested));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("sub")));

    Write("[Common]\nX=5\n");
    const IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Other", "X", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Common", "Y", 8), 8);
}

TEST_F(IniFileTest, NamesMatchWhateverTheirCase) {
    Write("[common]\nsave roms=1\nINFO TYPE = 2\n[CALLUS]\nEmuPath=/emu/callus\n");
    const IniFile ini(Path());
    EXPECT_TRUE(ini.ReadBoolean("Common", "Save ROMs", false));
    EXPECT_EQ(ini.ReadInteger("COMMON", "Info type", 3), 2);
    EXPECT_EQ(ini.ReadText("Callus", "emupath", ""), "/emu/callus");

    IniFile writer(Path());
    writer.WriteText("Callus", "EMUPATH", "/new");
    EXPECT_EQ(ini.ReadText("CALLUS", "EmuPath", ""), "/new");
    EXPECT_EQ(Read().count("[CALLUS]"), 1) << "the existing section is reused";
    EXPECT_EQ(Read().toLower().count("emupath="), 1) << "the existing key is replaced, not added";
}

TEST_F(IniFileTest, IntegersReadDecimalOrHexadecimalElseTheDefault) {
    Write(
        "[Common]\nX=0x20\nY=abc\nA=0X1f\nB=0x\nC=0x1G\nD=-5\nE=0xFFFFFFFF\nF=12 \nG=+3\n"
        "H=99999999999\nI=0x-1\nJ=\n");
    const IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Common", "X", -1), 32);
    EXPECT_EQ(ini.ReadInteger("Common", "Y", -1), -1);
    EXPECT_EQ(ini.ReadInteger("Common", "A", -1), 31);
    EXPECT_EQ(ini.ReadInteger("Common", "B", -1), -1) << "\"0x\" alone is no number";
    EXPECT_EQ(ini.ReadInteger("Common", "C", -1), -1);
    EXPECT_EQ(ini.ReadInteger("Common", "D", 0), -5);
    EXPECT_EQ(ini.ReadInteger("Common", "E", 0), -1);
    EXPECT_EQ(ini.ReadInteger("Common", "F", 0), 12) << "the value's blanks are not part of it";
    EXPECT_EQ(ini.ReadInteger("Common", "G", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Common", "H", 4), 4);
    EXPECT_EQ(ini.ReadInteger("Common", "I", 4), 4);
    EXPECT_EQ(ini.ReadInteger("Common", "J", 4), 4);
}

TEST_F(IniFileTest, BooleansAreWrittenOneOrZeroAndAnyNonZeroIsTrue) {
    Write("[Common]\nSave ROMs=2\nOff=0\nJunk=abc\n");
    IniFile ini(Path());
    EXPECT_TRUE(ini.ReadBoolean("Common", "Save ROMs", false));
    EXPECT_FALSE(ini.ReadBoolean("Common", "Off", true));
    EXPECT_TRUE(ini.ReadBoolean("Common", "Junk", true));
    EXPECT_FALSE(ini.ReadBoolean("Common", "Junk", false));
    ini.WriteBoolean("Common", "On", true);
    ini.WriteBoolean("Common", "Off", false);
    ini.WriteInteger("Common", "Neg", -12);
    EXPECT_EQ(Read(), "[Common]\nSave ROMs=2\nOff=0\nJunk=abc\nOn=1\nNeg=-12\n");
}

TEST_F(IniFileTest, LongTextsComeBackCutTo1023Characters) {
    IniFile ini(Path());
    const QString longText(1500, QLatin1Char('a'));
    ini.WriteText("S", "K", longText);
    EXPECT_EQ(ini.ReadText("S", "K", "").size(), 1023);
    EXPECT_EQ(ini.ReadText("S", "K", ""), longText.left(1023));
    EXPECT_TRUE(Read().contains(longText.toUtf8())) << "the file keeps the whole value";
    ini.WriteText("S", "Exact", QString(1023, QLatin1Char('b')));
    EXPECT_EQ(ini.ReadText("S", "Exact", "").size(), 1023);
}

TEST_F(IniFileTest, AWriteKeepsEveryOtherLineByteForByte) {
    const QByteArray before =
        "; written by hand\n"
        "[Unknown]\n"
        "Mystery = 42\n"
        "\n"
        "[KGen]\n"
        "# a remark\n"
        "Legacy=\xE9t\xE9\n"
        "Frames=2\n"
        "\n"
        "[Common]\n"
        "X=3\n";
    Write(before);
    IniFile ini(Path());
    ini.WriteText("KGen", "Frames", "4");
    ini.WriteText("KGen", "Sound", "1");
    ini.WriteInteger("Common", "Y", 9);
    ini.WriteText("New", "Key", "v");
    EXPECT_EQ(Read(),
              "; written by hand\n"
              "[Unknown]\n"
              "Mystery = 42\n"
              "\n"
              "[KGen]\n"
              "# a remark\n"
              "Legacy=\xE9t\xE9\n"
              "Frames=4\n"
              "Sound=1\n"
              "\n"
              "[Common]\n"
              "X=3\n"
              "Y=9\n"
              "\n"
              "[New]\n"
              "Key=v\n");
}

TEST_F(IniFileTest, CommentLinesAreNeverKeys) {
    Write("[S]\n;K=commented\nK=real\n");
    const IniFile ini(Path());
    EXPECT_EQ(ini.ReadText("S", "K", ""), "real");
    EXPECT_EQ(ini.ReadText("S", ";K", "none"), "none");
}

TEST_F(IniFileTest, EveryCallGoesToTheFile) {
    IniFile ini(Path());
    ini.WriteText("S", "K", "one");
    Write("[S]\nK=changed outside\n");
    EXPECT_EQ(ini.ReadText("S", "K", ""), "changed outside");
}

TEST_F(IniFileTest, WindowsLineBreaksStayWindowsLineBreaks) {
    Write("[S]\r\nA=1\r\n");
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadText("S", "A", ""), "1");
    ini.WriteText("S", "B", "2");
    EXPECT_EQ(Read(), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(IniFileTest, LineBreaksInsideAValueCannotAddKeysOrSections) {
    IniFile ini(Path());
    ini.WriteText("S", "K", "a\n[Common]\nX=1");
    EXPECT_EQ(ini.ReadInteger("Common", "X", -1), -1);
    EXPECT_EQ(ini.ReadText("S", "K", ""), "a [Common] X=1");
}

TEST_F(IniFileTest, WritingCreatesTheFolderAndLeavesNoTemporaryFile) {
    const QString nested = dir_.filePath("config/Orvello/WINORVEL.INI");
    IniFile ini(nested);
    ini.WriteText("Common", "X", "1");
    EXPECT_EQ(ini.ReadInteger("Common", "X", 0), 1);
    EXPECT_EQ(QDir(dir_.filePath("config/Orvello")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"WINORVEL.INI"});
}

TEST_F(IniFileTest, AWriteKeepsThePermissions) {
    Write("[S]\nK=1\n");
    ASSERT_TRUE(
        QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    IniFile ini(Path());
    ini.WriteText("S", "K", "2");
    EXPECT_EQ(QFileInfo(Path()).permissions() & 0xF0FF,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

TEST_F(IniFileTest, ASymbolicLinkIsWrittenThroughAndStaysALink) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("real"));
    const QString target = dir_.filePath("real/WINORVEL.INI");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[S]\nK=1\n");
    }
    ASSERT_TRUE(QFile::link(target, Path()));
    IniFile ini(Path());
    ini.WriteText("S", "K", "2");
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[S]\nK=2\n");
}

TEST_F(IniFileTest, ARefusedWriteSaysUnableToWriteAndChangesNothing) {
    // A folder where the file should be: nobody, not even root, can replace it.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("WINORVEL.INI"));
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadText("S", "K", "def"), "def");
    try {
        ini.WriteText("S", "K", "v");
        FAIL() << "the write should have been refused";
    } catch (const SettingsWriteError& e) {
        EXPECT_EQ(e.Text(), "Unable to write to " + Path());
        EXPECT_STREQ(e.what(), ("Unable to write to " + Path()).toUtf8().constData());
    }
    EXPECT_TRUE(QFileInfo(Path()).isDir());

    // A file where the folder should be.
    Write("x", "plain");
    IniFile inFile(dir_.filePath("plain/WINORVEL.INI"));
    EXPECT_THROW(inFile.WriteBoolean("S", "K", true), SettingsWriteError);
    EXPECT_EQ(Read("plain"), "x");
}
