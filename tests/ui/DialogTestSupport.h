// A fixture for the tests of one option dialog: the dialog on a recording host, a settings
// file in a temporary folder, and the steps a user takes in it.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <vector>

#include "EndToEndSupport.h"
#include "UiTestSupport.h"
#include "app/core/IniFile.h"
#include "options/OptionDialog.h"

namespace orvello::test {

// Whether a label of the window names the control (a screen reader reads it with it).
inline bool HasLabel(const QWidget& window, const QWidget* control) {
    const auto labels = window.findChildren<QLabel*>();
    return std::any_of(labels.begin(), labels.end(),
                       [control](const QLabel* label) { return label->buddy() == control; });
}

template <class Form>
class DialogTest : public ::testing::Test {
  protected:
    DialogTest() : form_(state_, host_, nullptr) {}

    QString Built() {
        EXPECT_TRUE(form_.BuildSwitches());
        return form_.GetSwitches();
    }
    QString Ini() const { return dir_.filePath("WINORVEL.INI"); }

    // What SaveOptions writes into an empty file, line by line.
    QStringList Saved() {
        QFile::remove(Ini());
        IniFile ini(Ini());
        form_.SaveOptions(ini);
        return FileLines(Ini());
    }

    // LoadOptions from a settings file holding `text`.
    void Load(const QByteArray& text) {
        WriteFile(Ini(), text);
        IniFile ini(Ini());
        form_.LoadOptions(ini);
    }

    // The user picks an item of a list, which runs its change handler.
    static void Pick(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    // The user types `text` into a number field and leaves it with Tab; gives the messages
    // shown on leaving.
    std::vector<QString> Leave(NumberField* field, const QString& text) {
        if (!form_.isVisible()) {
            EXPECT_TRUE(ShowActive(&form_));
        }
        for (int i = 0; i < form_.PageControl1->count(); ++i) {
            if (form_.PageControl1->widget(i)->isAncestorOf(field)) {
                form_.PageControl1->setCurrentIndex(i);
            }
        }
        host_.messages.clear();
        field->setFocus();
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Tab);
        return host_.Texts();
    }

    QStringList PageCaptions() const {
        QStringList captions;
        for (int i = 0; i < form_.PageControl1->count(); ++i)
            captions << form_.PageControl1->tabText(i);
        return captions;
    }

    AppState state_;
    FakeHost host_;
    Form form_;
    QTemporaryDir dir_;
};

}  // namespace orvello::test
