#pragma once
#include "framework/App.h"

class CZendalFileSaApp : public fw::App {
public:
    void InitInstance() override;
};
