#pragma once
// Screen states that opalene_uisheet renders, one PNG each. Every interface folder adds its
// states in a file of its own under tools/uisheet/states/, registered with OPALENE_UISHEET_STATE.
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct UiSheetState {
    std::string name; // the PNG's file name, without extension
    // Builds the widget showing the state on the given photo. The sheet shows it, lets the event
    // loop settle (advance any virtual clock inside `build` or `settle`) and grabs it.
    std::function<std::unique_ptr<QWidget>(const QImage& photo)> build;
    // Optional: called after the widget is shown and before the grab.
    std::function<void(QWidget&)> settle;
};

std::vector<UiSheetState>& uiSheetStates();

struct UiSheetRegistrar {
    explicit UiSheetRegistrar(UiSheetState state) { uiSheetStates().push_back(std::move(state)); }
};

#define OPALENE_UISHEET_CONCAT2(a, b) a##b
#define OPALENE_UISHEET_CONCAT(a, b) OPALENE_UISHEET_CONCAT2(a, b)
// OPALENE_UISHEET_STATE("image_view_fit", [](const QImage& photo) { ... return widget; });
#define OPALENE_UISHEET_STATE(...)                                                                           \
    static UiSheetRegistrar OPALENE_UISHEET_CONCAT(uiSheetRegistrar_, __LINE__)(UiSheetState{__VA_ARGS__})
