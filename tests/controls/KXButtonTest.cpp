#include "controls/KXButton.h"
#include "controls/SharedBundle.h"
#include "controls/VQButton.h"
#include "controls/ViewAlpha.h"
#include "support/TestSkins.h"
#include "support/UiApplication.h"

#include <QLabel>
#include <QMouseEvent>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

QImage filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// A bundle of solid-coloured skins, so each state's picture can be told apart by one pixel.
class Buttons : public ::testing::Test {
  protected:
    void SetUp() override {
        uiApplication();
        put("button_left", filled(6, 24, Qt::red));
        put("button_center", filled(1, 24, Qt::green));
        put("button_right", filled(6, 24, Qt::blue));
        put("tab_disabled", filled(40, 20, Qt::darkGray));
        put("tab_hl", filled(40, 20, Qt::yellow));
        put("icon", filled(10, 10, Qt::magenta));
    }
    void put(const std::string& name, const QImage& image) {
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name + ".png"))));
    }
    static void click(QWidget& w, QEvent::Type type, QPoint at) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&w, &event);
    }
    TestSkins dir;
};

} // namespace

TEST_F(Buttons, WithoutAPictureTheThreePartBackgroundFillsTheButton) {
    KXButton button;
    button.resize(100, 24);
    button.initialize();
    const QImage shown = button.grab().toImage();
    EXPECT_EQ(shown.pixelColor(2, 12), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(50, 2), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(97, 12), QColor(Qt::blue));
    EXPECT_EQ(button.defaultImage().size(), QSize(100, 24) * button.devicePixelRatioF());
}

TEST_F(Buttons, SetUpRunsAtTheNextTurnWithPropertiesGivenAfterCreation) {
    KXButton button;
    button.resize(80, 24);
    button.setDropDown(true);
    button.setTitle("kStringNoFilterSelected");
    EXPECT_FALSE(button.isInitialized());
    QApplication::processEvents();
    ASSERT_TRUE(button.isInitialized());
    EXPECT_EQ(button.displayedTitle(), "Select an effect or a preset first."); // localised
    EXPECT_EQ(button.titleIndent(), 10);
    EXPECT_EQ(button.dropDownArrowView(), nullptr); // this bundle has no arrow: none is shown
}

TEST_F(Buttons, DisabledPictureKeepsTheButtonCrispWhileClicksDoNothing) {
    KXButton button;
    button.resize(40, 20);
    button.setImage(filled(40, 20, Qt::white));
    button.setDisabledImageName("tab_disabled");
    button.initialize();
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    button.setEnabled(false);
    EXPECT_FALSE(button.isEnabled());
    EXPECT_TRUE(button.QWidget::isEnabled()); // the picture draws at full strength
    EXPECT_EQ(button.grab().toImage().pixelColor(20, 10), QColor(Qt::darkGray));
    click(button, QEvent::MouseButtonPress, {20, 10});
    click(button, QEvent::MouseButtonRelease, {20, 10});
    EXPECT_EQ(clicks, 0);
    button.setEnabled(true);
    click(button, QEvent::MouseButtonPress, {20, 10});
    click(button, QEvent::MouseButtonRelease, {20, 10});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.grab().toImage().pixelColor(20, 10), QColor(Qt::white));
}

TEST_F(Buttons, WithoutADisabledPictureTheWidgetItselfIsDisabled) {
    KXButton button;
    button.resize(40, 20);
    button.setImage(filled(40, 20, Qt::white));
    button.initialize();
    button.setEnabled(false);
    EXPECT_FALSE(button.QWidget::isEnabled());
}

TEST_F(Buttons, HighlightNeedsItsPictureAndAnEnabledButton) {
    KXButton plain, highlighted;
    for (KXButton* b : {&plain, &highlighted}) {
        b->resize(40, 20);
        b->setImage(filled(40, 20, Qt::white));
    }
    highlighted.setHighlightedImageName("tab_hl");
    plain.initialize();
    highlighted.initialize();
    plain.highlightOnMouse(true);
    EXPECT_FALSE(plain.isHighlighted()); // no picture for it: the flag is cleared
    highlighted.highlightOnMouse(true);
    EXPECT_TRUE(highlighted.isHighlighted());
    EXPECT_EQ(highlighted.displayedImage().pixelColor(0, 0), QColor(Qt::yellow));
    highlighted.setEnabled(false);
    EXPECT_FALSE(highlighted.isHighlighted());
    highlighted.highlightOnMouse(true);
    EXPECT_FALSE(highlighted.isHighlighted());
}

TEST_F(Buttons, MomentaryButtonIsOnOnlyBetweenDownAndUp) {
    KXButton button;
    button.resize(40, 20);
    button.setImage(filled(40, 20, Qt::white));
    button.setHighlightedImageName("tab_hl");
    button.setHasMomentaryStyle(true);
    button.initialize();
    click(button, QEvent::MouseButtonPress, {5, 5});
    EXPECT_EQ(button.state(), 1);
    EXPECT_TRUE(button.isHighlighted());
    click(button, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(button.state(), 0);
    EXPECT_FALSE(button.isHighlighted());
}

TEST_F(Buttons, IconAndCentredTitleFormOneGroup) {
    KXButton button;
    button.resize(120, 24);
    button.setIconImageName("icon");
    button.setTitle("Crop");
    button.initialize();
    ASSERT_TRUE(button.iconImageView());
    const QRect icon = button.iconImageView()->geometry();
    EXPECT_GT(icon.left(), 20);
    EXPECT_LT(icon.right(), int(button.titleIndent())); // the title starts right of the icon
    EXPECT_NEAR(icon.center().y(), 12, 3);
}

// Qt draws no graphics effect inside another: the icon's dimming must not hide it when the whole
// button is faded, as panels fade their buttons.
TEST_F(Buttons, AFadedButtonStillDrawsItsDimmedIcon) {
    QWidget host;
    host.resize(140, 40);
    auto* button = new KXButton(&host);
    button->setGeometry(10, 8, 120, 24);
    button->setIconImageName("icon");
    button->setTitle("Paint");
    button->initialize();
    host.show();
    ASSERT_TRUE(button->iconImageView());
    const QPoint icon = button->iconImageView()->geometry().center() + button->pos();
    for (bool enabled : {false, true}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        button->setEnabled(enabled);
        ViewAlpha::setAlpha(button, 1.0);
        const QColor plain = host.grab().toImage().pixelColor(icon);
        ViewAlpha::setAlpha(button, 0.999);
        const QColor faded = host.grab().toImage().pixelColor(icon);
        EXPECT_NEAR(faded.red(), plain.red(), 2);
        EXPECT_NEAR(faded.green(), plain.green(), 2);
        EXPECT_NEAR(faded.blue(), plain.blue(), 2);
        if (enabled) EXPECT_GT(plain.red(), plain.green() + 60); // the magenta icon over the green centre
    }
}

TEST_F(Buttons, VQButtonReleasesWhenDraggedOutWithoutAClick) {
    VQButton button;
    button.resize(30, 30);
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    click(button, QEvent::MouseButtonPress, {10, 10});
    EXPECT_EQ(button.state(), 1);
    click(button, QEvent::MouseMove, {60, 10});
    EXPECT_EQ(button.state(), 0);
    click(button, QEvent::MouseMove, {10, 10}); // back in: still released
    EXPECT_EQ(button.state(), 0);
    click(button, QEvent::MouseButtonRelease, {10, 10});
    EXPECT_EQ(clicks, 0);
    click(button, QEvent::MouseButtonPress, {10, 10});
    click(button, QEvent::MouseButtonRelease, {10, 10});
    EXPECT_EQ(clicks, 1);
}

TEST_F(Buttons, DisabledBeforeSetUpStaysDisabled) {
    KXButton button;
    button.resize(40, 20);
    button.setEnabled(false);
    QApplication::processEvents();
    ASSERT_TRUE(button.isInitialized());
    EXPECT_FALSE(button.isEnabled());
    EXPECT_FALSE(button.QWidget::isEnabled());
}
