#include "app/RunnersDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvello {

namespace {

QLineEdit* Field(QWidget* parent, const char* name, const QString& accessible,
                 const QString& text) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessible);
    field->setMinimumWidth(320);
    return field;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption,
                    const QString& accessible) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessible);
    return button;
}

}  // namespace

RunnersDialog::RunnersDialog(const RunnerSettings& settings, UiHost& host, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("RunnersDialog"));
    setWindowTitle(QStringLiteral("Runners"));

    DOSBoxPath = Field(this, "DOSBoxPath", QStringLiteral("DOSBox program"), settings.dosbox);
    DOSBoxOptions =
        Field(this, "DOSBoxOptions", QStringLiteral("DOSBox options"), settings.dosboxOptions);
    WinePath = Field(this, "WinePath", QStringLiteral("Wine program"), settings.wine);
    WineOptions = Field(this, "WineOptions", QStringLiteral("Wine options"), settings.wineOptions);
    FindDOSBoxBt =
        Button(this, "FindDOSBoxBt", QStringLiteral("&Find..."), QStringLiteral("Find DOSBox"));
    FindWineBt =
        Button(this, "FindWineBt", QStringLiteral("F&ind..."), QStringLiteral("Find Wine"));

    auto* grid = new QGridLayout;
    auto row = [&](int r, const QString& caption, QLineEdit* field, QPushButton* button) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, r, 0);
        grid->addWidget(field, r, 1);
        if (button != nullptr) grid->addWidget(button, r, 2);
    };
    row(0, QStringLiteral("&DOSBox:"), DOSBoxPath, FindDOSBoxBt);
    row(1, QStringLiteral("DOSBox &options:"), DOSBoxOptions, nullptr);
    row(2, QStringLiteral("&Wine:"), WinePath, FindWineBt);
    row(3, QStringLiteral("Wine o&ptions:"), WineOptions, nullptr);

    auto* note = new QLabel(QStringLiteral("A name without a folder is looked up on the search "
                                           "path. DOS programs are started with DOSBox and "
                                           "Windows programs with Wine."),
                            this);
    note->setWordWrap(true);

    OKBtn = Button(this, "OKBtn", QStringLiteral("OK"), QStringLiteral("OK"));
    OKBtn->setDefault(true);
    CancelBtn = Button(this, "CancelBtn", QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addLayout(buttons);

    connect(FindDOSBoxBt, &QPushButton::clicked, this,
            [this] { Find(DOSBoxPath, QStringLiteral("Find DOSBox")); });
    connect(FindWineBt, &QPushButton::clicked, this,
            [this] { Find(WinePath, QStringLiteral("Find Wine")); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

RunnerSettings RunnersDialog::Settings() const {
    RunnerSettings s;
    s.dosbox = DOSBoxPath->text().trimmed().isEmpty() ? s.dosbox : DOSBoxPath->text().trimmed();
    s.dosboxOptions = DOSBoxOptions->text();
    s.wine = WinePath->text().trimmed().isEmpty() ? s.wine : WinePath->text().trimmed();
    s.wineOptions = WineOptions->text();
    return s;
}

void RunnersDialog::Find(QLineEdit* field, const QString& title) {
    OpenFileRequest request;
    request.title = title;
    request.filter = QStringLiteral("All executable files|*");
    const std::optional<QString> found = FindRunnerProgram(field->text());
    request.initialDir = QFileInfo(found.value_or(QStringLiteral("/usr/bin/"))).absolutePath();
    if (const auto chosen = host_.OpenFile(request)) field->setText(*chosen);
}

}  // namespace orvello
