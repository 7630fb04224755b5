#include "ui/skin/PageLink.h"

#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalProgressCtrl.h"

PageLink::PageLink(const CZendalDialog& page, std::initializer_list<int> inputs, CZendalProgressCtrl& bar)
    : page_(page), inputs_(inputs), bar_(bar)
{
}

void PageLink::Open()
{
    window_.Set(page_.Handle());
}

void PageLink::EnableInputs(bool enabled)
{
    Run([&] {
        for (int id : inputs_)
            page_.Item(id).Enable(enabled);
    });
}

void PageLink::ShowProgress(int percent)
{
    bar_.SetPos(percent);
}

void PageLink::Say(const std::wstring& text, const std::wstring& caption)
{
    Run([&] { page_.MessageBox(text, caption); });
}

void PageLink::ReportFailure()
{
    Say(kFailedText, L"");
}
