#pragma once
#include "split/CDlgSplit.h"
#include "support/MessageBoxCatcher.h"
#include "support/PopupParent.h"
#include "support/ScratchFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// The split page in a visible window, with a scratch folder for its files.
// Message boxes are answered and recorded.
class SplitPageTest : public testing::Test {
protected:
    static constexpr int kSplit = 0;
    static constexpr int kMerge = 1;
    static constexpr size_t k1MiB = 1024 * 1024;

    void SetUp() override;

    // Picks an entry of the operation combo as the user does: the combo
    // changes its selection and tells the page.
    void ChooseOperation(int index);
    // Fills in the page and presses the start button; waits for the end of
    // the worker if one started.
    void Split(const std::wstring& path, const std::wstring& count);
    void Merge(const std::wstring& firstPiece);
    void PressStart();

    // Piece k of a file name in the scratch folder.
    std::wstring Piece(unsigned k, const std::wstring& name) const;
    // The sizes of pieces 1, 2, … of the name, up to the first missing one.
    std::vector<int64_t> PieceSizes(const std::wstring& name) const;
    // The exit status of cmp between the pieces, concatenated by cat, and a file.
    int CatAndCompare(const std::vector<std::wstring>& pieces, const std::wstring& file) const;
    std::vector<std::wstring> MessageTexts() const;

    testkit::ScratchFolder folder;
    testkit::MessageBoxCatcher boxes;
    testkit::PopupParent popup;
    CDlgSplit page;
};
