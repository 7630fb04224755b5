#pragma once
#include "framework/DataExchange.h"
#include "framework/Dialog.h"

#include <functional>
#include <vector>

// A page made from a real dialog template inside a visible popup, binding
// the controls under test in its data exchange. It records every command
// that reaches its own message map.
class TestHost : public fw::Dialog {
public:
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };

    TestHost(UINT templateId, std::function<void(fw::DataExchange&)> bind);
    ~TestHost() override;

    // Creates the popup and the page and shows both; false on failure.
    bool Open();
    // Puts the mouse cursor where no host window is.
    static void MoveCursorAway();

    std::vector<Command> commands;
    // Called for each recorded command, while the page handles it.
    std::function<void(const Command&)> onCommand;

    bool ProcessMessage(fw::Message& m) override;

protected:
    void DoDataExchange(fw::DataExchange& dx) override { bind_(dx); }

private:
    std::function<void(fw::DataExchange&)> bind_;
    HWND popup_ = nullptr;
};
