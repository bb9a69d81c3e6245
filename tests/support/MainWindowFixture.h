#pragma once
// A main window on the fake platform, started the way the program starts it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"
#include "support/ArrangeView.h"
#include "support/FakePlatform.h"
#include "support/MemoryStore.h"

namespace ocu::testing {

using support::ArrangeView;
using support::MemoryStore;

// The window, its platform and its settings: a test that needs several fresh
// windows makes several of these.
struct FakeMainWindow {
    FakePlatform platform;
    MemoryStore store;
    std::unique_ptr<TIniManager> ini;
    std::unique_ptr<TfrmCap> form;

    // Builds the window; `iniText` is the settings file at start (none if empty).
    void Start(const std::string& iniText = "") {
        if (!iniText.empty()) store.text = iniText;
        ini = std::make_unique<TIniManager>(store, "C:\\Ocumira\\Ocumira.ini");
        form = std::make_unique<TfrmCap>(platform, *ini);
        // Setting the client size re-enters the resize handler, as WM_SIZE does.
        platform.OnClientSizeChange = [this](int, int) { form->FormResize(); };
        form->CreateWnd();
        form->FormCreate();
    }
    void StartWithView(int clientW, int clientH, float zoom = 1.0f) {
        Start();
        form->ChgWindowSize(clientW, clientH);
        Arrange([&](ViewState& s) { s.ZoomRate = zoom; });
    }
    const ViewState& S() const { return form->State(); }
    // A state no single command reaches: the current one, edited.
    template <class Edit>
    void Arrange(Edit&& edit) {
        ArrangeView(*form, std::forward<Edit>(edit));
    }
    void Tick() { form->timTimer(); }
};

class MainWindowTest : public ::testing::Test, protected FakeMainWindow {};

}  // namespace ocu::testing
