// File > Runners: the programs that start the emulators Linux cannot start by itself, DOSBox
// for DOS programs and Wine for Windows programs, with the extra options each is given.
#pragma once

#include <QDialog>

#include "app/core/Host.h"
#include "app/core/Runners.h"

class QLineEdit;
class QPushButton;

namespace orvello {

class RunnersDialog : public QDialog {
    Q_OBJECT

  public:
    RunnersDialog(const RunnerSettings& settings, UiHost& host, QWidget* parent);

    // The settings as the fields hold them.
    RunnerSettings Settings() const;

    QLineEdit* DOSBoxPath;
    QLineEdit* DOSBoxOptions;
    QLineEdit* WinePath;
    QLineEdit* WineOptions;
    QPushButton* FindDOSBoxBt;
    QPushButton* FindWineBt;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

  private:
    void Find(QLineEdit* field, const QString& title);

    UiHost& host_;
};

}  // namespace orvello
