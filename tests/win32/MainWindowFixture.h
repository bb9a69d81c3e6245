// A real main window over an in-memory settings file, for the tests that drive it through
// its messages. The capture timer is stopped: the ticks only add noise to these tests.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "mainwindow/TfrmCap.h"
#include "platform/win32/MainWindow.h"
#include "settings/IniManager.h"
#include "support/MemoryStore.h"
#include "win32/Win32TestSupport.h"

namespace ocu::win {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        window_.Create(SW_SHOWNOACTIVATE);
        ASSERT_NE(window_.Handle(), nullptr);
        platform_.StopCaptureTimer();
        wintest::PumpMessages();
    }
    void TearDown() override {
        if (window_.Handle() != nullptr) ::DestroyWindow(window_.Handle());
        wintest::PumpMessages();  // also takes the WM_QUIT of the window's end off the queue
    }

    wintest::MessageBoxCloser boxes_;
    support::MemoryStore store_;
    TIniManager ini_{store_, "Ocumira.ini"};
    Win32Platform platform_{::GetModuleHandleW(nullptr)};
    TfrmCap form_{platform_, ini_};
    MainWindow window_{::GetModuleHandleW(nullptr), form_, platform_};
};

}  // namespace ocu::win
