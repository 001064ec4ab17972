#pragma once
// A headless host with one form window, and short ways to add children.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backends/headless/headless_host.h"
#include "support/error_number.h"
#include "tavo/host/error.h"

namespace tavo {

inline WindowDesign windowDesign(const std::string& name, bool keyPreview = false) {
    WindowDesign d;
    d.name = name;
    d.keyPreview = keyPreview;
    d.clientWidth = 3000;
    d.clientHeight = 2000;
    return d;
}

inline ChildDesign childDesign(const std::string& name, float left = 0, float top = 0, float width = 300,
                               float height = 200) {
    ChildDesign d;
    d.name = name;
    d.left = left;
    d.top = top;
    d.width = width;
    d.height = height;
    return d;
}

inline ChildDesign timerDesign(const std::string& name, int interval, bool enabled = true) {
    ChildDesign d;
    d.name = name;
    d.interval = interval;
    d.enabled = enabled;
    return d;
}

class HeadlessTest : public ::testing::Test {
protected:
    HeadlessHost host;
    std::shared_ptr<Window> form = host.createWindow(windowDesign("Form1"));
    std::vector<std::string> log;

    void SetUp() override { host.setMainWindow(form); }
};

}  // namespace tavo
