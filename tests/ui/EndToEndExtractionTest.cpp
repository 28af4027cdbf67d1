// Extraction end to end through the real windows: it runs while the windows repaint and its
// progress moves, "Cancel" and Esc stop it and take back everything the launch wrote, and a
// member the extractor did not finish well is never played, whatever file it left behind.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "EndToEndFixture.h"
#include "UiTestSupport.h"
#include "app/Main.h"
#include "archive/ArcFile.h"
#include "selector/OnFlyROMSelector.h"

using namespace orvello;
using namespace orvello::test;
using orvello::testing::Entry;
using orvello::testing::Text;
using orvello::testing::ZipEntry;

namespace {

// The archive read from disk, except that a read at or past the gate's limit (below its
// ceiling) waits until the limit moves past it: a disk that is slow exactly where the test
// wants the extraction to be.
class Gate {
  public:
    void Pass(std::int64_t offset) {
        std::unique_lock lock(m_);
        while (offset >= limit_ && offset < ceiling_) {
            waiting_ = true;
            cv_.wait(lock);
        }
        waiting_ = false;
    }
    void Hold(std::int64_t limit, std::int64_t ceiling) {
        {
            const std::lock_guard lock(m_);
            limit_ = limit;
            ceiling_ = ceiling;
        }
        cv_.notify_all();
    }
    void Open() { Hold(LLONG_MAX, LLONG_MAX); }
    bool Waiting() {
        const std::lock_guard lock(m_);
        return waiting_;
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    std::int64_t limit_ = LLONG_MAX;
    std::int64_t ceiling_ = LLONG_MAX;
    bool waiting_ = false;
};

class GatedFile final : public archive::ArcFile {
  public:
    GatedFile(std::unique_ptr<archive::ArcFile> inner, Gate& gate)
        : inner_(std::move(inner)), gate_(gate) {}
    std::int64_t Size() const override { return inner_->Size(); }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buf, std::size_t n) override {
        gate_.Pass(offset);
        return inner_->ReadAt(offset, buf, n);
    }
    bool Close() override { return inner_->Close(); }

  private:
    std::unique_ptr<archive::ArcFile> inner_;
    Gate& gate_;
};

class GatedFileSystem final : public archive::ArcFileSystem {
  public:
    explicit GatedFileSystem(Gate& gate) : gate_(gate) {}
    bool Exists(const std::string& path) const override {
        return archive::DiskFileSystem::Instance().Exists(path);
    }
    std::unique_ptr<archive::ArcFile> Open(const std::string& path) const override {
        auto file = archive::DiskFileSystem::Instance().Open(path);
        if (!file) return nullptr;
        return std::make_unique<GatedFile>(std::move(file), gate_);
    }

  private:
    Gate& gate_;
};

// Bytes that do not compress, so that a stored member is as large as it says.
std::vector<std::uint8_t> Noise(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    std::uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return v;
}

constexpr std::int64_t BigSize = 2'000'000;
// Reads from here on pass: the search for the archive's end record reads the last 64 KiB.
constexpr std::int64_t GateCeiling = BigSize * 9 / 10;
// How long one step of a held extraction may take before the test gives up on it.
constexpr qint64 StepDeadlineMs = 20000;

enum class CancelBy { Button, Escape };

class ExtractionTest : public EndToEndTest {
  protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        paints_.watched = nullptr;
    }

    // Plays with the extraction held at a quarter and then at three quarters of the big
    // member, looking at the windows each time, and then stops it the given way. The
    // extractor reads ahead of what it has written, by as much as its buffers hold, so each
    // hold waits for progress beyond the one before rather than for fixed figures. A step
    // not reached within the deadline fails, saying what it waited for, and lets the
    // extraction go so that the test ends.
    void PlayAndCancel(CancelBy way) {
        Archives().UnZIP.Files = &files_;
        Main()->ProgressDelayMs = 0;
        gate_.Hold(BigSize / 4, GateCeiling);
        int step = 0;
        int firstValue = -1;
        QElapsedTimer clock;
        clock.start();
        const auto waitedFor = [&](int at, const QProgressDialog* dialog) {
            static const char* const what[] = {
                "the progress window to show progress while the extraction is held",
                "the windows to repaint while the extraction is held",
                "the progress to move on while the extraction is held again",
                "the windows to repaint before the cancel"};
            return std::string(what[at]) + " (progress window " +
                   (dialog == nullptr ? std::string("missing")
                                      : "at " + std::to_string(dialog->value())) +
                   ", extraction " + (gate_.Waiting() ? "held" : "running") + ")";
        };
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            QProgressDialog* dialog = Main()->ExtractProgress;
            if (step < 4 && clock.elapsed() > StepDeadlineMs) {
                ADD_FAILURE() << "waited " << StepDeadlineMs << " ms for "
                              << waitedFor(step, dialog);
                step = 5;
                if (dialog != nullptr) dialog->cancel();
                gate_.Open();
                return;
            }
            if (dialog == nullptr || !gate_.Waiting()) return;
            switch (step) {
                case 0:  // held at a quarter
                case 2:  // held at three quarters
                    if (!dialog->isVisible() || dialog->value() <= std::max(firstValue, 0)) return;
                    if (step == 0) firstValue = dialog->value();
                    values_.insert(dialog->value());
                    label_ = dialog->labelText();
                    // The windows repaint while the extraction waits on its disk.
                    paints_.count = 0;
                    Main()->InfoPanel->update();
                    ++step;
                    clock.restart();
                    return;
                case 1:
                    if (paints_.count == 0) return;
                    repainted_ = true;
                    gate_.Hold(BigSize * 3 / 4, GateCeiling);
                    ++step;
                    clock.restart();
                    return;
                case 3:
                    if (paints_.count == 0) return;
                    cancelButton_ = dialog->findChild<QPushButton*>("CancelExtraction");
                    if (way == CancelBy::Button) {
                        ASSERT_NE(cancelButton_, nullptr);
                        QTest::mouseClick(cancelButton_, Qt::LeftButton);
                    } else {
                        QTest::keyClick(dialog, Qt::Key_Escape);
                    }
                    gate_.Open();
                    ++step;
                    return;
                default:
                    return;
            }
        });
        paints_.watched = Main()->InfoPanel;
        Main()->InfoPanel->installEventFilter(&paints_);
        look.start(5);
        Play();
        look.stop();
        gate_.Open();
        Main()->InfoPanel->removeEventFilter(&paints_);
        EXPECT_EQ(step, 4) << "the extraction was not seen held twice and stopped";
    }

    bool EmulatorStarted() const { return QFileInfo::exists(log_); }
    QString Status() const { return Main()->StatusPanels[1]->text(); }

    struct PaintCounter : QObject {
        bool eventFilter(QObject* o, QEvent* e) override {
            if (o == watched && e->type() == QEvent::Paint) ++count;
            return false;
        }
        QObject* watched = nullptr;
        int count = 0;
    };

    Gate gate_;
    GatedFileSystem files_{gate_};
    PaintCounter paints_;
    std::set<int> values_;
    QString label_;
    bool repainted_ = false;
    QPushButton* cancelButton_ = nullptr;
};

class CancelTest : public ExtractionTest, public ::testing::WithParamInterface<CancelBy> {};

}  // namespace

TEST_P(CancelTest, AMemberCancelledIsTakenBackAndNotPlayed) {
    PutZip(Games("zsnes") + "/big.zip", {Entry("Big Game.smc", Noise(BigSize))});
    Open(SlotZSNES, false);
    ClickFile("big.zip");
    ClickMember("Big Game.smc");
    Ticks();
    PlayAndCancel(GetParam());

    EXPECT_TRUE(repainted_);
    EXPECT_EQ(values_.size(), 2u) << "the progress moved while the extraction ran";
    EXPECT_EQ(label_, "Big Game.smc");
    EXPECT_NE(cancelButton_, nullptr);
    EXPECT_FALSE(EmulatorStarted());
    EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"}) << "the partial file is gone";
    EXPECT_EQ(Status(), "Extraction cancelled");
    EXPECT_TRUE(host_.messages.empty()) << host_.messages[0].text.toStdString();
    EXPECT_EQ(Main()->ExtractProgress, nullptr);

    // Played again, the same member runs to its end and starts the emulator.
    Archives().UnZIP.Files = &archive::DiskFileSystem::Instance();
    Play();
    EXPECT_TRUE(EmulatorStarted());
    EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
}

INSTANTIATE_TEST_SUITE_P(ButtonOrEscape, CancelTest,
                         ::testing::Values(CancelBy::Button, CancelBy::Escape),
                         [](const auto& info) {
                             return std::string(info.param == CancelBy::Button ? "Button"
                                                                               : "Escape");
                         });

TEST_F(ExtractionTest, ACancelledGameTakesBackAllItWroteEvenWhenExtractedRomsAreKept) {
    // The big member comes last, so the others are written when the cancel comes.
    PutZip(Games("mame") + "/pacman.zip",
           {Entry("pacman.6e", Text("6e")), Entry("pacman.6f", Text("6f")),
            Entry("pacman.big", Noise(BigSize))});
    const QString game = EmuDir("mame") + "/pacman";
    QDir().mkpath(game);
    WriteFile(game + "/hiscore.dat", "my scores");
    Open(SlotMAME, true);
    ClickFile("pacman.zip");
    Ticks();
    // The big member's data lies after the two small ones and their headers.
    PlayAndCancel(CancelBy::Button);
    EXPECT_FALSE(EmulatorStarted());
    EXPECT_EQ(Names(game), QStringList{"hiscore.dat"}) << "only what was there before stays";
    EXPECT_EQ(Status(), "Extraction cancelled");
    EXPECT_TRUE(host_.messages.empty());

    // A game folder the launch made goes as well.
    QFile::remove(game + "/hiscore.dat");
    QDir().rmdir(game);
    PlayAndCancel(CancelBy::Escape);
    EXPECT_FALSE(EmulatorStarted());
    EXPECT_EQ(Names(EmuDir("mame")), QStringList{"mame"});
}

namespace {

class FailedMemberTest : public EndToEndTest, public ::testing::WithParamInterface<bool> {};

}  // namespace

TEST_P(FailedMemberTest, AMemberTheExtractorFailedIsNeverPlayed) {
    const bool keep = GetParam();
    // One member fails its check (its whole, wrong data is written); another is in a method
    // no extractor of ours decodes (an empty file of its name is left).
    ZipEntry damaged = Entry("Damaged.smc", Text("not what was stored"));
    damaged.crc = 0x0BADC0DE;
    ZipEntry unknown = Entry("Unknown.smc", Text("packed by a method nobody knows"));
    unknown.method = 99;
    PutZip(Games("zsnes") + "/games.zip", {damaged, unknown});
    Open(SlotZSNES, keep);
    ClickFile("games.zip");
    for (const char* member : {"Damaged.smc", "Unknown.smc"}) {
        SCOPED_TRACE(member);
        host_.messages.clear();
        ClickMember(member);
        Ticks();
        Play();
        ASSERT_FALSE(host_.messages.empty());
        EXPECT_EQ(host_.messages.back().kind, MessageKind::Error);
        EXPECT_EQ(host_.messages.back().text, "Can't extract ROM (disk full?)");
        EXPECT_FALSE(QFileInfo::exists(log_)) << "the emulator was not started";
    }
    if (!keep) {
        EXPECT_EQ(Names(EmuDir("zsnes")), QStringList{"zsnes"});
    }
}

TEST_P(FailedMemberTest, AGameWithAMemberThatFailedIsNeverPlayed) {
    ZipEntry damaged = Entry("pacman.6f", Text("not what was stored"));
    damaged.crc = 0x0BADC0DE;
    PutZip(Games("mame") + "/pacman.zip", {Entry("pacman.6e", Text("6e")), damaged});
    Open(SlotMAME, GetParam());
    ClickFile("pacman.zip");
    Ticks();
    Play();
    ASSERT_FALSE(host_.messages.empty());
    EXPECT_EQ(host_.messages.back().text, "Can't extract ROMs (disk full?)");
    EXPECT_FALSE(QFileInfo::exists(log_)) << "the emulator was not started";
    if (!GetParam()) {
        EXPECT_EQ(Names(EmuDir("mame")), QStringList{"mame"});
    }
}

INSTANTIATE_TEST_SUITE_P(SaveExtractedRoms, FailedMemberTest, ::testing::Bool(),
                         [](const auto& info) {
                             return std::string(info.param ? "Kept" : "Deleted");
                         });
