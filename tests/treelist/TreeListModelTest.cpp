// Thousands of random operations checked against a plain reference tree after
// every step: counts, row order, texts and item numbers, and the record's own
// invariants.
#include "TreeListHost.h"
#include "ui/treelist/TreeListData.h"

#include <algorithm>
#include <map>
#include <random>

using treelist_test::TreeListHost;

namespace {

struct ModelNode {
    unsigned parent = 0;
    std::wstring text;
    std::wstring cell;
    std::vector<unsigned> children;
    bool expanded = false;
};

class Model {
public:
    std::map<unsigned, ModelNode> nodes;
    std::vector<unsigned> top;

    std::vector<unsigned>& SiblingsOf(unsigned parent) { return parent ? nodes[parent].children : top; }

    void Add(unsigned number, unsigned parent, size_t position, const std::wstring& text)
    {
        ModelNode node;
        node.parent = parent;
        node.text = text;
        nodes[number] = node;
        std::vector<unsigned>& siblings = SiblingsOf(parent);
        siblings.insert(siblings.begin() + static_cast<long>(position), number);
    }

    void Remove(unsigned number)
    {
        std::vector<unsigned> children = nodes[number].children;
        for (unsigned child : children)
            Remove(child);
        std::vector<unsigned>& siblings = SiblingsOf(nodes[number].parent);
        siblings.erase(std::find(siblings.begin(), siblings.end(), number));
        nodes.erase(number);
    }

    void AppendRows(const std::vector<unsigned>& items, std::vector<unsigned>* rows) const
    {
        for (unsigned n : items) {
            rows->push_back(n);
            const ModelNode& node = nodes.at(n);
            if (node.expanded)
                AppendRows(node.children, rows);
        }
    }

    std::vector<unsigned> Rows() const
    {
        std::vector<unsigned> rows;
        AppendRows(top, &rows);
        return rows;
    }

    unsigned Any(std::mt19937& random) const
    {
        auto it = nodes.begin();
        std::advance(it, static_cast<long>(random() % nodes.size()));
        return it->first;
    }
};

void CheckAgainstModel(const TreeListHost& host, const Model& model, int step)
{
    std::string problem;
    ASSERT_TRUE(treelist_test::Consistent(host.List(), &problem)) << "step " << step << ": " << problem;
    ASSERT_EQ(static_cast<LRESULT>(model.nodes.size()), host.Send(TVM_GETCOUNT)) << "step " << step;
    ASSERT_EQ(model.Rows(), host.Rows()) << "step " << step;
    for (const auto& entry : model.nodes) {
        ASSERT_EQ(entry.second.text, host.Text(entry.first, 0)) << "step " << step << " item " << entry.first;
        ASSERT_EQ(entry.second.cell, host.Text(entry.first, 1)) << "step " << step << " item " << entry.first;
        ASSERT_EQ(entry.second.parent, host.Next(entry.first, TVGN_PARENT)) << "step " << step;
    }
    ASSERT_EQ(model.top, host.Children(0)) << "step " << step;
}

TEST(TreeListModel, RandomOperationsMatchAReferenceTree)
{
    TreeListHost host;
    host.AddColumn(L"name", 300);
    host.AddColumn(L"state", 100);
    Model model;
    std::mt19937 random(20241208);
    int counter = 0;
    for (int step = 0; step < 5000; ++step) {
        unsigned choice = random() % 100;
        bool crowded = model.nodes.size() > 250;
        std::wstring text = L"item " + std::to_wstring(++counter);
        if (model.nodes.empty() || (choice < 45 && !crowded)) {
            // Insert: at the end, first, after a sibling, or under an item.
            unsigned parent = (!model.nodes.empty() && random() % 3 == 0) ? model.Any(random) : 0;
            std::vector<unsigned>& siblings = model.SiblingsOf(parent);
            unsigned how = random() % 4;
            HTREEITEM after = TVI_LAST;
            size_t position = siblings.size();
            if (how == 1) {
                after = TVI_FIRST;
                position = 0;
            } else if (how == 2 && !siblings.empty()) {
                size_t index = random() % siblings.size();
                after = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(siblings[index]));
                position = index + 1;
            } else if (how == 3) {
                // Before the first sibling whose text is not below the new one.
                after = TVI_SORT;
                position = 0;
                while (position < siblings.size()
                       && lstrcmpiW(model.nodes[siblings[position]].text.c_str(), text.c_str()) < 0)
                    ++position;
            }
            unsigned number = host.Insert(text.c_str(), parent, after);
            ASSERT_NE(0u, number) << "step " << step;
            ASSERT_EQ(0u, model.nodes.count(number)) << "number handed out twice, step " << step;
            model.Add(number, parent, position, text);
        } else if (choice < 62) {
            unsigned number = model.Any(random);
            ASSERT_TRUE(host.Delete(number)) << "step " << step;
            model.Remove(number);
            ASSERT_FALSE(host.Delete(number));
        } else if (choice < 80) {
            unsigned number = model.Any(random);
            std::wstring cell = (random() % 5 == 0) ? L"" : L"cell " + std::to_wstring(step);
            ASSERT_TRUE(host.SetCell(number, 1, cell.c_str()));
            model.nodes[number].cell = cell;
        } else if (choice < 88) {
            unsigned number = model.Any(random);
            TVITEMW record{};
            record.mask = TVIF_TEXT;
            record.hItem = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(number));
            record.pszText = const_cast<LPWSTR>(text.c_str());
            ASSERT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)));
            model.nodes[number].text = text;
        } else if (choice < 97) {
            unsigned number = model.Any(random);
            ModelNode& node = model.nodes[number];
            bool expand = random() % 2 == 0;
            LRESULT done = host.Send(TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, number);
            if (expand && !node.expanded) {
                ASSERT_EQ(node.children.empty() ? 0 : 1, done) << "step " << step;
            }
            if (!expand) {
                ASSERT_EQ(node.expanded ? 1 : 0, done) << "step " << step;
            }
            if (done)
                node.expanded = expand;
        } else if (choice < 98) {
            host.Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
            model = Model();
        } else {
            // Reading an item that does not exist fails without side effects.
            ASSERT_EQ(L"<invalid>", host.Text(100000 + step));
        }
        CheckAgainstModel(host, model, step);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

// The check the random test relies on finds a record bent in any of the
// ways it looks at.
TEST(TreeListModel, TheInvariantCheckFindsABentRecord)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a");
    unsigned b = host.Insert(L"b");
    unsigned c = host.Insert(L"c", a);
    host.Send(TVM_EXPAND, TVE_EXPAND, a);
    std::string problem;
    ASSERT_TRUE(treelist_test::Consistent(host.List(), &problem)) << problem;
    auto* record = reinterpret_cast<TreeListData*>(::GetWindowLongPtrW(host.List(), 0));
    unsigned* fields[] = {&record->items[b]->prevSibling, &record->items[c]->level, &record->items[c]->row,
                          &record->rowCount, &record->selectedCount, &record->itemCount};
    for (unsigned* field : fields) {
        unsigned kept = *field;
        *field += 1;
        EXPECT_FALSE(treelist_test::Consistent(host.List(), &problem)) << field - fields[0];
        *field = kept;
    }
    EXPECT_TRUE(treelist_test::Consistent(host.List(), &problem)) << problem;
}

} // namespace
