#pragma once
// A form with a headless tree view "SSTree1" and a tree controller
// "TavoSSTreeController1", placed as an application places them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "backends/headless/headless_host.h"
#include "backends/headless/headless_tree_view.h"
#include "tavo/host/form.h"
#include "tavo/ssaddon/register.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"

namespace tavo {

// Adds nodes from a compact text: "A(A1(A11) A2) B" is A with the children A1
// (with A11) and A2, then B on the top level. Keys are also the texts.
inline void buildTree(HeadlessTreeView& tree, std::string_view shape) {
    std::vector<std::string> parents{""};
    std::string last;
    std::string key;
    auto flush = [&] {
        if (key.empty()) return;
        tree.addNode(key, parents.back(), key);
        last = key;
        key.clear();
    };
    for (char c : shape) {
        if (c == '(') {
            flush();
            parents.push_back(last);
        } else if (c == ')') {
            flush();
            parents.pop_back();
        } else if (c == ' ') {
            flush();
        } else {
            key += c;
        }
    }
    flush();
}

class TreeControllerTest : public ::testing::Test {
protected:
    TreeControllerTest() {
        registerHeadlessComponents(registry);
        registerTavoSSAddOn(registry);
        form = std::make_unique<Form>(host, "Form1", registry);
        form->setListener({{}, [this](Control&, std::string_view p) { changes.emplace_back(p); }});
        tree = addTree("SSTree1");
        ctl = std::dynamic_pointer_cast<TavoSSTreeController>(
            form->add(TavoSSTreeController::kProgId, "TavoSSTreeController1", {0, 3000, 1080, 225}));
    }

    std::shared_ptr<HeadlessTreeView> addTree(const std::string& name) {
        return std::dynamic_pointer_cast<HeadlessTreeView>(form->add("SSActiveTreeView.SSTree", name, {0, 0, 4000, 3000}));
    }

    void bind(std::string_view shape) {
        buildTree(*tree, shape);
        ctl->setMySSTree(tree);
        changes.clear();
    }

    // A user's click: MouseDown, MouseUp, then Click.
    void click(int k) {
        host.postClick(ctl->img(k));
        host.runUntilIdle();
    }

    bool open(const std::string& key) const { return tree->node(key)->expanded(); }
    const std::vector<std::string>& intoView() const { return tree->broughtIntoView(); }

    HeadlessHost host;
    ComponentRegistry registry;
    std::unique_ptr<Form> form;
    std::shared_ptr<HeadlessTreeView> tree;
    std::shared_ptr<TavoSSTreeController> ctl;
    std::vector<std::string> changes;
};

}  // namespace tavo
