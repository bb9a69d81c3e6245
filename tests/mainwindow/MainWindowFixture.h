#pragma once
// A main window on the fake platform, started the way the program starts it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "mainwindow/FakePlatform.h"
#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"
#include "settings/SettingsStore.h"

namespace ocu::testing {

class MemoryStore : public ISettingsStore {
public:
    std::optional<std::string> Text;
    bool FailWrites = false;
    int Writes = 0;
    std::optional<std::string> Read() override { return Text; }
    bool Write(const std::string& t) override {
        if (FailWrites) return false;
        ++Writes;
        Text = t;
        return true;
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    FakePlatform platform;
    MemoryStore store;
    std::unique_ptr<TIniManager> ini;
    std::unique_ptr<TfrmCap> form;

    // Builds the window; `iniText` is the settings file at start (none if empty).
    void Start(const std::string& iniText = "") {
        if (!iniText.empty()) store.Text = iniText;
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
        form->State().ZoomRate = zoom;
    }
    ViewState& S() { return form->State(); }
    void Tick() { form->timTimer(); }
};

}  // namespace ocu::testing
