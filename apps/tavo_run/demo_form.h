#pragma once
// The demo form built into the runner: a date control, a tree view with a
// sample tree and a tree controller bound to it. The form file text holds
// the controls; the sample tree and the labels are what the demo's own load
// code adds, since a tree's nodes are the application's data, not the form's.
#include <span>
#include <string>
#include <string_view>

namespace tavo::demo {

inline constexpr std::string_view kFormName = "frmDemo";
inline constexpr std::string_view kTreeName = "SSTree1";

// The form file text, the date control showing `valueSerial` (a date serial).
std::string formText(double valueSerial);

struct TreeNode {
    std::string_view key, parentKey, text;
};
// Parents before their children.
std::span<const TreeNode> sampleTree();

// Texts that explain the form, in twips on the form, for a backend that shows them.
struct Label {
    std::string_view name, text;
    float left, top, width, height;
};
std::span<const Label> labels();

}  // namespace tavo::demo
