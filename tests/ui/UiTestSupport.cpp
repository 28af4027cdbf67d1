#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

namespace orvello::test {

namespace {

// One QApplication for the test program, made before the first test and gone after the
// last. Test mode keeps anything that asks for standard folders away from the real ones.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setApplicationName(QStringLiteral("Orvello"));
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// gtest owns the environment it is given.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(std::make_unique<QtEnvironment>().release());

}  // namespace

bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

namespace {
constexpr int ModalDeadlineMs = 10000;
}  // namespace

std::shared_ptr<void> WhenModal(std::function<void(QWidget*)> action) {
    auto alive = std::make_shared<int>(0);
    std::weak_ptr<int> watch = alive;
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, watch, weakPoll = std::weak_ptr<std::function<void()>>(poll)]() {
        const auto self = weakPoll.lock();
        if (!self || watch.expired()) return;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            action(modal);
            QTimer::singleShot(ModalDeadlineMs, [window = QPointer<QWidget>(modal)] {
                if (!window || !window->isVisible()) return;
                ADD_FAILURE() << "the window \"" << window->windowTitle().toStdString()
                              << "\" was still open " << ModalDeadlineMs
                              << " ms after the test's steps; closed";
                if (auto* dialog = qobject_cast<QDialog*>(window.data())) {
                    dialog->reject();
                } else {
                    window->close();
                }
            });
        } else {
            QTimer::singleShot(10, *self);
        }
    };
    QTimer::singleShot(0, *poll);
    // The guard keeps the poll function alive too.
    return std::shared_ptr<void>(alive.get(), [alive, poll](void*) mutable {
        alive.reset();
        poll.reset();
    });
}

QStringList FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

}  // namespace orvello::test
