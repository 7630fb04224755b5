#pragma once
#include "framework/CrossThreadWindow.h"
#include "framework/WorkerThread.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class CZendalDialog;
class CZendalProgressCtrl;

// A page's side of its workers: the screen they are given, carried out on the
// page's thread. The page opens the link when its window is created and closes
// it when the window goes; the page object must outlive every worker using it.
class PageLink : public fw::WorkerScreen {
public:
    // inputs: the ids of the page's controls a worker switches off while it runs.
    PageLink(const CZendalDialog& page, std::initializer_list<int> inputs, CZendalProgressCtrl& bar);
    PageLink(const PageLink&) = delete;
    PageLink& operator=(const PageLink&) = delete;
    virtual ~PageLink() = default;

    void Open();
    void Close() { window_.Clear(); }

    // Runs work on the page's thread; nothing once the page window is gone.
    void Run(const std::function<void()>& work) const { window_.Run(work); }

    void EnableInputs(bool enabled) override;
    // The bar stores its position and repaints by itself on any thread.
    void ShowProgress(int percent) override;
    void Say(const std::wstring& text, const std::wstring& caption) override;
    // Captionless, as the pages' own refusals.
    void ReportFailure() override;
    bool IsOpen() const override { return window_.Valid(); }

private:
    const CZendalDialog& page_;
    const std::vector<int> inputs_;
    CZendalProgressCtrl& bar_;
    fw::CrossThreadWindow window_;
};
