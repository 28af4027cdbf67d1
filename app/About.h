// The About box: the product line and an "OK" button.
#pragma once

#include <QDialog>

namespace orvello {

class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent);
};

}  // namespace orvello
