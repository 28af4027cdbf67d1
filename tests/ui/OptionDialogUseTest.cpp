// The twelve option dialogs as a desktop user works them, opened from the main window with
// "Call option": Enter presses the focused button and else "OK"; "Cancel", Escape and the
// window's close box put back every control as the dialog was opened with, so that the next
// opening and "Save emu option" show and store what "Play" uses; a number field's range check
// runs once for each time the user leaves that field.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <functional>
#include <memory>

#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/Application.h"
#include "app/Main.h"
#include "options/OptionDialog.h"

using namespace orvello;
using namespace orvello::test;

namespace {

QWidget* Page(OptionDialog* dialog, int i) {
    return dialog->PageControl1->widget(i);
}

void ShowPageOf(OptionDialog* dialog, QWidget* control) {
    for (int i = 0; i < dialog->PageControl1->count(); ++i) {
        if (Page(dialog, i)->isAncestorOf(control)) dialog->PageControl1->setCurrentIndex(i);
    }
}

// Every control of the dialog's pages as the user sees it: name, value, and whether it is
// disabled or hidden.
QStringList Controls(OptionDialog* dialog) {
    QStringList seen;
    for (int i = 0; i < dialog->PageControl1->count(); ++i) {
        QWidget* page = Page(dialog, i);
        for (QWidget* w : page->findChildren<QWidget*>()) {
            QString value;
            if (auto* box = qobject_cast<QCheckBox*>(w)) {
                value = box->isChecked() ? "checked" : "cleared";
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                value = QString::number(list->currentIndex()) + " " + list->currentText();
            } else if (auto* group = qobject_cast<RadioGroup*>(w)) {
                value = QString::number(group->ItemIndex());
            } else if (auto* slider = qobject_cast<QSlider*>(w)) {
                value = QString::number(slider->value());
            } else if (auto* spinner = qobject_cast<UpDown*>(w)) {
                value = QString::number(spinner->Position());
            } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
                if (qobject_cast<QComboBox*>(field->parentWidget())) continue;
                value = "'" + field->text() + "'";
            } else {
                continue;
            }
            seen << w->objectName() + "=" + value + (w->isEnabled() ? "" : " disabled") +
                        (w->isVisibleTo(page) ? "" : " hidden");
        }
    }
    return seen;
}

// The user changes every control that takes a change, page by page: clicks every check box,
// picks the next item of every list and group, moves every slider and types into every field.
void ChangeEverything(OptionDialog* dialog) {
    for (int i = 0; i < dialog->PageControl1->count(); ++i) {
        dialog->PageControl1->setCurrentIndex(i);
        for (QWidget* w : Page(dialog, i)->findChildren<QWidget*>()) {
            if (!w->isEnabled()) continue;
            if (auto* box = qobject_cast<QCheckBox*>(w)) {
                box->click();
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                const int next = (list->currentIndex() + 1) % list->count();
                list->setCurrentIndex(next);
                emit list->activated(next);
            } else if (auto* group = qobject_cast<RadioGroup*>(w)) {
                const auto buttons = group->findChildren<QRadioButton*>();
                buttons.at((group->ItemIndex() + 1) % buttons.size())->click();
            } else if (auto* slider = qobject_cast<QSlider*>(w)) {
                slider->setValue(slider->value() == slider->maximum() ? slider->minimum()
                                                                      : slider->maximum());
            } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
                if (qobject_cast<QComboBox*>(field->parentWidget())) continue;
                field->setText(field->text() + "7");
            }
        }
    }
}

// Every character of the command line that is not a blank lies in the part of the line that
// is on the screen, as assistive technology finds the characters' places.
::testing::AssertionResult ShownWhole(QWidget* line) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(line);
    QAccessibleTextInterface* t = a ? a->textInterface() : nullptr;
    if (!t) return ::testing::AssertionFailure() << "the line has no text interface";
    const QString text = t->text(0, t->characterCount());
    if (text.isEmpty()) return ::testing::AssertionFailure() << "the line is empty";
    // Inside the line's frame, and inside the window and every widget around it.
    QRect visible(line->mapToGlobal(line->contentsRect().topLeft()), line->contentsRect().size());
    for (QWidget* w = line->parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        visible &= QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isSpace()) continue;
        const QRect r = t->characterRect(i);
        if (r.isEmpty() || !visible.contains(r)) {
            return ::testing::AssertionFailure()
                   << "character " << i << " '" << QString(text.at(i)).toStdString() << "' of \""
                   << text.toStdString() << "\" lies at (" << r.x() << "," << r.y() << " "
                   << r.width() << "x" << r.height() << "), the visible part is (" << visible.x()
                   << "," << visible.y() << " " << visible.width() << "x" << visible.height()
                   << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// The longest command a dialog makes: every check box checked, every list and group at its
// last item, every empty text field filled with a folder.
void MakeLongest(OptionDialog* dialog) {
    // Checking one box may enable another: a few rounds reach them all.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < dialog->PageControl1->count(); ++i) {
            dialog->PageControl1->setCurrentIndex(i);
            for (QWidget* w : Page(dialog, i)->findChildren<QWidget*>()) {
                if (!w->isEnabled()) continue;
                if (auto* box = qobject_cast<QCheckBox*>(w)) {
                    if (!box->isChecked()) box->click();
                } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                    list->setCurrentIndex(list->count() - 1);
                    emit list->activated(list->count() - 1);
                } else if (auto* group = qobject_cast<RadioGroup*>(w)) {
                    group->findChildren<QRadioButton*>().back()->click();
                } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
                    if (qobject_cast<QComboBox*>(field->parentWidget())) continue;
                    if (!qobject_cast<NumberField*>(field) && field->text().isEmpty())
                        field->setText("/home/player/emulators/saved games");
                }
            }
        }
    }
}

// Escape pressed in the dialog, where its focus is.
void Escape(OptionDialog* dialog) {
    QWidget* focus = dialog->focusWidget();
    QTest::keyClick(focus ? focus : dialog, Qt::Key_Escape);
}

// The ways a user leaves a dialog without taking what was changed.
enum class Leave { CancelClick, CancelEnter, Escape, CloseBox };

const char* Name(Leave how) {
    switch (how) {
        case Leave::CancelClick:
            return "Cancel clicked";
        case Leave::CancelEnter:
            return "Enter on Cancel";
        case Leave::Escape:
            return "Escape";
        case Leave::CloseBox:
            return "close box";
    }
    return "";
}

void LeaveWithout(OptionDialog* dialog, Leave how) {
    switch (how) {
        case Leave::CancelClick:
            QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
            break;
        case Leave::CancelEnter:
            dialog->CancelBtn->setFocus(Qt::TabFocusReason);
            QTest::keyClick(dialog->CancelBtn, Qt::Key_Return);
            break;
        case Leave::Escape:
            Escape(dialog);
            break;
        case Leave::CloseBox:
            // As the window manager's close box asks it.
            dialog->windowHandle()->close();
            break;
    }
}

class OptionDialogUseTest : public ::testing::Test {
  protected:
    // The program with an emulator path for every tab; the NLKSNES section gets more keys.
    void Start(const QByteArray& nlksnes = {}) {
        ASSERT_TRUE(dir_.isValid());
        QByteArray ini;
        for (EmulatorSlot slot = 0; slot < SlotCount; ++slot) {
            const QByteArray section = Slots.at(slot).section;
            ini += "[" + section + "]\nEmuPath=/home/player/emulators/" + section.toLower() + "/" +
                   section.toLower() + "\n";
            if (slot == SlotNLKSNES) ini += nlksnes;
        }
        QDir().mkpath(dir_.filePath("settings"));
        WriteFile(Ini(), ini);
        app_ = std::make_unique<OrvelloApp>(host_, dir_.filePath("settings"));
        ASSERT_TRUE(ShowActive(Main()));
    }
    QString Ini() const { return dir_.filePath("settings/WINORVEL.INI"); }
    TMainForm* Main() const { return app_->MainForm(); }
    AppState& State() const { return app_->State(); }

    // Opens the slot's dialog with "Call option" and runs `steps` in it. A dialog the steps
    // leave open fails the test and is closed, so the test goes on.
    void InDialog(EmulatorSlot slot, const std::function<void(OptionDialog*)>& steps) {
        Main()->EmuList->setCurrentIndex(slot);
        ASSERT_EQ(State().CurrentSlot, slot);
        OptionDialog* dialog = app_->Dialog(slot);
        bool opened = false;
        {
            const auto modal = WhenModal([&](QWidget* shown) {
                opened = true;
                EXPECT_EQ(shown, dialog);
                // Keys go where the focus is: the dialog must have taken it.
                ASSERT_TRUE(
                    QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }, 5000));
                steps(dialog);
                if (dialog->isVisible()) {
                    ADD_FAILURE() << Slots.at(slot).section << ": the dialog is still open";
                    dialog->done(QDialog::Rejected);
                }
            });
            QTest::mouseClick(Main()->CallOptionBt, Qt::LeftButton);
        }
        EXPECT_TRUE(opened) << Slots.at(slot).section;
        EXPECT_FALSE(dialog->isVisible());
    }

    // The settings file as "File > Save emu option" writes the current tab's section.
    QStringList SavedByMenu() {
        QFile::remove(Ini());
        Main()->FileSaveOption->trigger();
        return FileLines(Ini());
    }

    QTemporaryDir dir_;
    FakeHost host_;
    std::unique_ptr<OrvelloApp> app_;
};

}  // namespace

// Each way of leaving without OK, in every dialog: the controls are back as they were opened,
// the switch string "Play" uses is unchanged, the next opening shows those controls and a
// command equal to the main window's, and "Save emu option" stores what it stored before.
TEST_F(OptionDialogUseTest, LeavingWithoutOkPutsEveryControlBack) {
    Start();
    for (Leave how : {Leave::CancelClick, Leave::CancelEnter, Leave::Escape, Leave::CloseBox}) {
        for (EmulatorSlot slot = 0; slot < SlotCount; ++slot) {
            SCOPED_TRACE(std::string(Slots.at(slot).section) + ", " + Name(how));
            Main()->EmuList->setCurrentIndex(slot);
            const QStringList savedBefore = SavedByMenu();
            const QString switches = State().Switches.at(slot);
            QStringList opened;
            InDialog(slot, [&](OptionDialog* dialog) {
                opened = Controls(dialog);
                ChangeEverything(dialog);
                ASSERT_NE(Controls(dialog), opened) << "the user changed nothing";
                LeaveWithout(dialog, how);
                EXPECT_FALSE(dialog->isVisible());
            });
            EXPECT_EQ(app_->Dialog(slot)->result(), QDialog::Rejected);
            EXPECT_EQ(Controls(app_->Dialog(slot)), opened);
            EXPECT_EQ(State().Switches.at(slot), switches);
            InDialog(slot, [&](OptionDialog* dialog) {
                EXPECT_EQ(Controls(dialog), opened);
                EXPECT_EQ(dialog->CommandLine->text(), Main()->CommandLine->text())
                    << "the line shows what Play starts";
                Escape(dialog);
            });
            EXPECT_EQ(SavedByMenu(), savedBefore);
        }
    }
    EXPECT_TRUE(host_.messages.empty()) << host_.Texts().front().toStdString();
}

// Enter on a focused button presses that button: "Load default" resets the controls as its
// click does and leaves the dialog open, and a choosing button opens its chooser. Enter on
// any other control, the command line included, presses OK.
TEST_F(OptionDialogUseTest, EnterPressesTheFocusedButtonElseOk) {
    Start();
    int choosers = 0;
    for (EmulatorSlot slot = 0; slot < SlotCount; ++slot) {
        SCOPED_TRACE(Slots.at(slot).section);
        const QString switches = State().Switches.at(slot);
        InDialog(slot, [&](OptionDialog* dialog) {
            ChangeEverything(dialog);
            const QStringList changed = Controls(dialog);
            dialog->LoadDefBt->setFocus(Qt::TabFocusReason);
            QTest::keyClick(dialog->LoadDefBt, Qt::Key_Return);
            ASSERT_TRUE(dialog->isVisible()) << "Enter on Load default closed the dialog";
            const QStringList reset = Controls(dialog);
            EXPECT_NE(reset, changed);
            // What a click on Load default leaves is left alone by another click.
            QTest::mouseClick(dialog->LoadDefBt, Qt::LeftButton);
            EXPECT_EQ(Controls(dialog), reset);
            EXPECT_EQ(State().Switches.at(slot), switches) << "Load default builds nothing";

            // The choosing buttons on the pages.
            for (int i = 0; i < dialog->PageControl1->count(); ++i) {
                dialog->PageControl1->setCurrentIndex(i);
                for (auto* button : Page(dialog, i)->findChildren<QPushButton*>()) {
                    if (!button->isEnabled()) continue;
                    const size_t asked = host_.openRequests.size() + host_.folderRequests.size();
                    button->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(button, Qt::Key_Return);
                    ASSERT_TRUE(dialog->isVisible())
                        << "Enter on " << button->text().toStdString() << " closed the dialog";
                    EXPECT_EQ(host_.openRequests.size() + host_.folderRequests.size(), asked + 1)
                        << button->text().toStdString();
                    ++choosers;
                }
            }

            // Enter in the command line, after a button had the focus, is OK.
            ChangeEverything(dialog);
            dialog->CancelBtn->setFocus(Qt::TabFocusReason);
            dialog->CommandLine->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(dialog->CommandLine->hasFocus());
            QTest::keyClick(dialog->CommandLine, Qt::Key_Return);
        });
        EXPECT_EQ(app_->Dialog(slot)->result(), QDialog::Accepted);
        EXPECT_EQ(State().Switches.at(slot), app_->Dialog(slot)->GetSwitches());
    }
    // GameBoy's background and two each in GeneCyst and Callus; S9x's "..." waits for its
    // box.
    EXPECT_EQ(choosers, 5);
    InDialog(SlotSNES9x, [this](OptionDialog* dialog) {
        auto* box = dialog->findChild<QCheckBox*>("EnableSS");
        auto* button = dialog->findChild<QPushButton*>("LoadSSBt");
        ASSERT_TRUE(box && button);
        ShowPageOf(dialog, box);
        if (!box->isChecked()) box->click();
        ASSERT_TRUE(button->isEnabled());
        const size_t asked = host_.openRequests.size();
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(host_.openRequests.size(), asked + 1);
        Escape(dialog);
    });

    // Enter in a check box and in a list: OK as well.
    InDialog(SlotKGen, [](OptionDialog* dialog) {
        QTest::mouseClick(dialog->LoadDefBt, Qt::LeftButton);
        auto* box = dialog->findChild<QCheckBox*>("noSound");
        ASSERT_NE(box, nullptr);
        ShowPageOf(dialog, box);
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
        ASSERT_TRUE(box->isChecked());
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(app_->Dialog(SlotKGen)->result(), QDialog::Accepted);
    EXPECT_EQ(State().Switches.at(SlotKGen), " -S");
    InDialog(SlotMassage, [](OptionDialog* dialog) {
        QTest::mouseClick(dialog->LoadDefBt, Qt::LeftButton);
        auto* list = dialog->findChild<QComboBox*>("Joy");
        ASSERT_NE(list, nullptr);
        ShowPageOf(dialog, list);
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(app_->Dialog(SlotMassage)->result(), QDialog::Accepted);
    EXPECT_EQ(State().Switches.at(SlotMassage), " /ggpad /frame 1");
}

// Two fields out of range, as a settings file can give them: leaving the first shows its box
// once and puts the focus back, which leaves the second field without its check running.
TEST_F(OptionDialogUseTest, ARangeCheckRunsOncePerLeavingOfItsOwnField) {
    Start("Frames=99\nCycles=10\n");
    // Should boxes alternate, valid values end it after a few.
    host_.onMessage = [this] {
        if (host_.messages.size() < 6) return;
        auto* dialog = app_->Dialog(SlotNLKSNES);
        dialog->findChild<QLineEdit*>("Frames")->setText("5");
        dialog->findChild<QLineEdit*>("Cycles")->setText("75");
    };
    InDialog(SlotNLKSNES, [this](OptionDialog* dialog) {
        auto* frames = dialog->findChild<NumberField*>("Frames");
        auto* cycles = dialog->findChild<NumberField*>("Cycles");
        ASSERT_TRUE(frames && cycles);
        ASSERT_EQ(frames->text(), "99");
        ASSERT_EQ(cycles->text(), "10");
        ShowPageOf(dialog, frames);
        frames->setFocus(Qt::TabFocusReason);
        QTest::keyClick(frames, Qt::Key_Tab);
        EXPECT_EQ(host_.Texts(), std::vector<QString>{"Value must between 0 and 10"});
        EXPECT_TRUE(frames->hasFocus());

        // Each leaving again is one more box, by the keyboard or the mouse.
        QTest::keyClick(frames, Qt::Key_Tab);
        QTest::mouseClick(cycles, Qt::LeftButton);
        EXPECT_EQ(host_.Texts(), std::vector<QString>(3, "Value must between 0 and 10"));
        EXPECT_TRUE(frames->hasFocus());

        // Mended, the focus goes on to Cycles; leaving that is its own one box.
        host_.messages.clear();
        frames->setText("5");
        QTest::keyClick(frames, Qt::Key_Tab);
        EXPECT_TRUE(cycles->hasFocus());
        EXPECT_TRUE(host_.messages.empty());
        QTest::keyClick(cycles, Qt::Key_Backtab);
        EXPECT_EQ(host_.Texts(), std::vector<QString>{"Value must between 50 and 100"});
        EXPECT_TRUE(cycles->hasFocus());
        QTest::keyClick(cycles, Qt::Key_Escape);
    });
    host_.onMessage = nullptr;
}

// The whole command can be read in every dialog at the size it opens with: Massage's line as
// it opens, and every dialog's longest line once the user has set it up.
TEST_F(OptionDialogUseTest, TheWholeCommandIsShown) {
    Start();
    InDialog(SlotMassage, [](OptionDialog* dialog) {
        EXPECT_EQ(dialog->CommandLine->text(),
                  "/home/player/emulators/massage/massage /nojoy /frame 1 <ROM>");
        EXPECT_TRUE(ShownWhole(dialog->CommandLine));
        Escape(dialog);
    });
    for (EmulatorSlot slot = 0; slot < SlotCount; ++slot) {
        SCOPED_TRACE(Slots.at(slot).section);
        InDialog(slot, [](OptionDialog* dialog) {
            EXPECT_TRUE(ShownWhole(dialog->CommandLine));
            MakeLongest(dialog);
            // The window takes its new height when its layout next runs.
            if (!QTest::qWaitFor([&] { return bool(ShownWhole(dialog->CommandLine)); }, 2000)) {
                EXPECT_TRUE(ShownWhole(dialog->CommandLine));
            }
            EXPECT_EQ(dialog->CommandLine->toolTip(),
                      "Working folder: /home/player/emulators/" +
                          QString(Slots.at(dialog->Slot()).section).toLower());
            Escape(dialog);
        });
    }
}
