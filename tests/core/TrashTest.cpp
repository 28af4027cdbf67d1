// Deleting a ROM to the desktop's trash, and deleting it when no trash can take it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/Trash.h"

using orvello::platform::MoveToTrashOrDelete;

namespace {

class TrashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        oldData_ = qgetenv("XDG_DATA_HOME");
        oldFolder_ = QDir::currentPath();
        QDir(dir_.path()).mkpath("roms");
        QDir(dir_.path()).mkpath("here");
        // Whatever goes astray would land below the current folder.
        QDir::setCurrent(dir_.filePath("here"));
    }
    void TearDown() override {
        QDir::setCurrent(oldFolder_);
        if (oldData_.isNull()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", oldData_);
        }
    }
    QString Rom(const char* name, const QByteArray& content = "rom") {
        const QString path = dir_.filePath(QStringLiteral("roms/") + name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir dir_;
    QByteArray oldData_;
    QString oldFolder_;
};

}  // namespace

TEST_F(TrashTest, FileGoesToTheHomeTrashEvenWhenTheDataFolderIsNew) {
    qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
    const QString rom = Rom("Game.smc", "the game");
    QString inTrash;
    EXPECT_TRUE(MoveToTrashOrDelete(rom, &inTrash));
    EXPECT_FALSE(QFileInfo::exists(rom));
    EXPECT_EQ(inTrash, dir_.filePath("data/Trash/files/Game.smc"));
    QFile trashed(inTrash);
    ASSERT_TRUE(trashed.open(QIODevice::ReadOnly));
    EXPECT_EQ(trashed.readAll(), "the game");
    EXPECT_TRUE(QFileInfo::exists(dir_.filePath("data/Trash/info/Game.smc.trashinfo")));
    EXPECT_TRUE(QDir(dir_.filePath("here")).isEmpty());
}

TEST_F(TrashTest, WithoutAUsableTrashTheFileIsDeletedAndNothingGoesAstray) {
    // The data folder cannot exist: a file stands where its parent would be.
    const QString blocker = dir_.filePath("blocker");
    QFile(blocker).open(QIODevice::WriteOnly);
    qputenv("XDG_DATA_HOME", (blocker + "/data").toUtf8());
    const QString rom = Rom("Game.smc");
    QString inTrash = "stale";
    EXPECT_TRUE(MoveToTrashOrDelete(rom, &inTrash));
    EXPECT_FALSE(QFileInfo::exists(rom));
    EXPECT_TRUE(inTrash.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("here/files/Game.smc")));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("here/info/Game.smc.trashinfo")));
}

TEST_F(TrashTest, LinkGoesItselfAndItsTargetStays) {
    qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
    const QString target = Rom("Real.smc", "real");
    const QString link = dir_.filePath("roms/Link.smc");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(MoveToTrashOrDelete(link));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target));

    // A link whose target is gone is a file of its own all the same.
    const QString dangling = dir_.filePath("roms/Dangling.smc");
    ASSERT_TRUE(QFile::link(dir_.filePath("roms/none"), dangling));
    EXPECT_TRUE(MoveToTrashOrDelete(dangling));
    EXPECT_FALSE(QFileInfo(dangling).isSymLink());
}

TEST_F(TrashTest, MissingFileIsNotDeleted) {
    qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
    QString inTrash = "stale";
    EXPECT_FALSE(MoveToTrashOrDelete(dir_.filePath("roms/none.smc"), &inTrash));
    EXPECT_TRUE(inTrash.isEmpty());
}
