#pragma once
#include "crypt/CDlgEncrypt.h"
#include "support/MessageBoxCatcher.h"
#include "support/PopupParent.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace crypt_test {

// One row of the page's list as the user sees it.
struct Row {
    std::wstring path;
    std::wstring status;
    int pathImage = -1;
    int statusImage = -1;
};

// The encryption page created from its template in a real top-level parent.
// Message boxes of the process are answered and recorded meanwhile.
class EncryptPageHost {
public:
    EncryptPageHost();
    EncryptPageHost(const EncryptPageHost&) = delete;
    EncryptPageHost& operator=(const EncryptPageHost&) = delete;

    CDlgEncrypt& Page() { return *page_; }
    std::vector<Row> Rows() const;
    std::vector<std::wstring> Paths() const;

    void SetPasswords(const std::wstring& password, const std::wstring& confirmation);
    std::wstring Text(int id) const { return page_->ItemText(id); }
    bool AllControlsEnabled() const;

    // Clicks a button and returns once its handler has run (message boxes
    // included: they are answered).
    void Click(int id);
    // Clicks and returns the text of the one message box it showed; its
    // caption must be empty.
    std::wstring ClickForMessage(int id);
    // Selects an entry of the operation combo as the user does.
    void ChooseOperation(int index);

    // Walks the folder as a picked one would be walked, and waits for the end.
    void Walk(const std::wstring& folder, int encryptMode = 1);
    // Types the password twice, presses start and waits for the run's end.
    void Encrypt(const std::wstring& password);
    bool WaitForWorkers();

    testkit::MessageBoxCatcher boxes;

private:
    testkit::PopupParent parent_;
    std::unique_ptr<CDlgEncrypt> page_;
};

} // namespace crypt_test
