#include "app/DisplaySettings.h"

#include "app/CMainFrame.h"
#include "tests/app/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using gui_test::Store;

TEST(DisplaySettings, FirstStartWritesTheDefaults) {
    gui_test::ClearSettings();
    QSettings store = Store();
    const DisplaySettings settings = LoadDisplaySettings(store);
    EXPECT_TRUE(settings.showTable);
    EXPECT_EQ(QColor(255, 255, 255), settings.WinBack());
    EXPECT_EQ(QColor(223, 223, 255), settings.TableBack());
    EXPECT_EQ(1, store.value("ShowTable").toInt());
    EXPECT_EQ(0x00FFFFFFu, store.value("ColorWinBack").toUInt());
    EXPECT_EQ(0x00FFDFDFu, store.value("ColorTableBack").toUInt());
}

TEST(DisplaySettings, StoredValuesAreTakenAndMalformedOnesReplaced) {
    gui_test::ClearSettings();
    QSettings store = Store();
    store.setValue("ShowTable", 2);
    store.setValue("ColorWinBack", "not a colour");
    store.setValue("ColorTableBack", 0x00336699);
    const DisplaySettings settings = LoadDisplaySettings(store);
    EXPECT_FALSE(settings.showTable);
    EXPECT_EQ(DisplaySettings::kDefaultWinBack, settings.colorWinBack);
    EXPECT_EQ(0x00FFFFFFu, store.value("ColorWinBack").toUInt());
    EXPECT_EQ(QColor(0x99, 0x66, 0x33), settings.TableBack());
    EXPECT_EQ(0x00336699u, BgrFromColor(settings.TableBack()));
}

TEST(DisplaySettings, MainFrameLoadsOnBuildAndSavesOnDestruction) {
    gui_test::ClearSettings();
    Store().setValue("ShowTable", 2);
    auto frame = std::make_unique<CMainFrame>();
    EXPECT_FALSE(frame->Settings().showTable);
    DisplaySettings changed = frame->Settings();
    changed.colorWinBack = 0x00010203;
    frame->ApplyDisplaySettings(changed);
    EXPECT_EQ(0x00FFFFFFu, Store().value("ColorWinBack").toUInt());  // not before the end
    frame.reset();
    EXPECT_EQ(0, Store().value("ShowTable").toInt());
    EXPECT_EQ(0x00010203u, Store().value("ColorWinBack").toUInt());
}

}  // namespace
