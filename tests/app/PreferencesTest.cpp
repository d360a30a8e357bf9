// The preferences window: each combo box reads and writes its default at once, a damaged
// default shows as the editor's fallback, and the window keeps its size.
#include "app/KXWindowControllerDelegate.h"
#include "app/PreferencesWindowController.h"
#include "platform/foundation/UserDefaults.h"
#include "support/UiApplication.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

struct ReleaseSpy : KXWindowControllerDelegate {
    std::vector<std::pair<QObject*, bool>> releases;
    void kxWindowControllerWantsRelease(QObject* controller, bool modal) override {
        releases.emplace_back(controller, modal);
    }
};

struct Preferences : ::testing::Test {
    QApplication& app = uiApplication();
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
    void TearDown() override {
        defaults.setObject(foundation::Value("High"), "k_Preview_Quality");
        defaults.setObject(foundation::Value("Hide Bottom Menu"), "k_Double_Click_Action");
    }
};

TEST_F(Preferences, TheItemsAreExactlyTheRecognisedValues) {
    PreferencesWindowController window;
    QStringList qualities, actions;
    for (int i = 0; i < window.previewQualityComboBox()->count(); ++i)
        qualities << window.previewQualityComboBox()->itemText(i);
    for (int i = 0; i < window.doubleClickActionComboBox()->count(); ++i)
        actions << window.doubleClickActionComboBox()->itemText(i).toLower();
    EXPECT_EQ(qualities, QStringList({"Low", "Normal", "High"}));
    EXPECT_EQ(actions, QStringList({"image fit to screen", "hide bottom menu"}));
    EXPECT_FALSE(window.previewQualityComboBox()->isEditable());
}

TEST_F(Preferences, EachControlReadsAndWritesItsDefault) {
    struct Case {
        const char* key;
        const char* stored; // null: absent
        const char* shown;
        const char* chosen;
    };
    const Case cases[] = {
        {"k_Preview_Quality", "Normal", "Normal", "Low"},
        {"k_Preview_Quality", "Low", "Low", "High"},
        {"k_Preview_Quality", "low", "High", "Normal"}, // not recognised: the fallback
        {"k_Preview_Quality", "Ultra", "High", "Low"},
        {"k_Preview_Quality", nullptr, "High", "Normal"},
        {"k_Double_Click_Action", "image fit to screen", "Image Fit to Screen", "Hide Bottom Menu"},
        {"k_Double_Click_Action", "HIDE BOTTOM MENU", "Hide Bottom Menu", "Image Fit to Screen"},
        {"k_Double_Click_Action", "zoom", "Hide Bottom Menu", "Image Fit to Screen"},
        {"k_Double_Click_Action", nullptr, "Hide Bottom Menu", "Image Fit to Screen"},
    };
    for (const Case& c : cases) {
        if (c.stored)
            defaults.setObject(foundation::Value(c.stored), c.key);
        else
            defaults.removeObjectForKey(c.key);
        PreferencesWindowController window;
        QComboBox* box = std::string(c.key) == "k_Preview_Quality" ? window.previewQualityComboBox()
                                                                   : window.doubleClickActionComboBox();
        EXPECT_EQ(box->currentText(), c.shown) << c.key << " = " << (c.stored ? c.stored : "(absent)");
        // Showing writes nothing: a damaged value stays until the user chooses.
        EXPECT_EQ(defaults.stringForKey(c.key),
                  c.stored ? std::optional<std::string>(c.stored) : std::nullopt);
        box->setCurrentText(c.chosen);
        EXPECT_EQ(defaults.stringForKey(c.key), std::optional<std::string>(c.chosen));
    }
}

TEST_F(Preferences, TheWindowKeepsItsSizeAndReportsItsClosing) {
    ReleaseSpy spy;
    PreferencesWindowController window;
    window.setDelegate(&spy);
    window.show();
    const QSize size = window.size();
    window.resize(size * 2);
    EXPECT_EQ(window.size(), size);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    window.close();
    ASSERT_EQ(spy.releases.size(), 1u);
    EXPECT_EQ(spy.releases[0].first, &window);
    EXPECT_FALSE(spy.releases[0].second);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
