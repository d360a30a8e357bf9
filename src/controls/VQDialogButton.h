#pragma once
// The dialog's push button: a three-part skin at the button's width (31 points high, or 45 for
// the big size), drawn at 60 % while pressed, with a white centred title.
#include "controls/VQButton.h"

class VQDialogButton : public VQButton {
    Q_OBJECT
  public:
    explicit VQDialogButton(QWidget* parent = nullptr);

    int buttonSizeType() const { return _buttonSizeType; }
    void setButtonSizeType(int type); // 0 normal, any other value big
    QString title() const { return _title; }
    void setTitle(const QString& title);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent*) override { validateImages(); }

  private:
    void validateImages();

    int _buttonSizeType = 0;
    QString _title;
    QSize _imagesSize; // the size the current pictures were made for
};
