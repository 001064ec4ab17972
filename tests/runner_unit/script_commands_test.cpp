#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "apps/tavo_run/script_engine.h"

namespace tavo {
namespace {

using Forms = std::map<std::string, std::set<std::string>>;

// The command table of docs/runner.md: each row's first cell is a usage in
// backticks, `name form`, where `a\|b` names commands that share the form.
Forms documentedCommands() {
    std::ifstream doc(TAVO_SOURCE_DIR "/docs/runner.md");
    EXPECT_TRUE(doc) << "docs/runner.md cannot be read";
    Forms forms;
    std::string line;
    bool inTable = false;
    while (std::getline(doc, line)) {
        if (line.starts_with("| Command |")) inTable = true;
        if (!inTable || line.starts_with("| Command |") || line.starts_with("|---")) continue;
        if (!line.starts_with("| `")) break;
        std::string usage = line.substr(3, line.find('`', 3) - 3);
        for (std::size_t at; (at = usage.find("\\|")) != std::string::npos;) usage.replace(at, 2, "|");
        const std::size_t blank = usage.find(' ');
        const std::string names = usage.substr(0, blank);
        const std::string form = blank == std::string::npos ? "" : usage.substr(blank + 1);
        for (std::size_t from = 0; from <= names.size();) {
            const std::size_t bar = std::min(names.find('|', from), names.size());
            forms[names.substr(from, bar - from)].insert(form);
            from = bar + 1;
        }
    }
    return forms;
}

Forms knownCommands() {
    Forms forms;
    for (const ScriptEngine::Command& c : ScriptEngine::commands()) {
        forms[std::string(c.name)].insert(std::string(c.forms[0]));
        if (!c.forms[1].empty()) forms[std::string(c.name)].insert(std::string(c.forms[1]));
    }
    return forms;
}

TEST(ScriptCommands, TheDocumentedCommandsAreTheCommandsTheRunnerKnowsWithTheirUsages) {
    const Forms documented = documentedCommands(), known = knownCommands();
    std::string problems;
    for (const auto& [name, forms] : known)
        if (!documented.contains(name)) problems += "not in docs/runner.md: " + name + "\n";
        else if (documented.at(name) != forms) problems += "docs/runner.md gives other arguments for " + name + "\n";
    for (const auto& [name, forms] : documented)
        if (!known.contains(name)) problems += "docs/runner.md names a command the runner does not know: " + name + "\n";
    EXPECT_EQ(problems, "");
    EXPECT_GT(documented.size(), 30u) << "the table was not found where it was expected";
}

}  // namespace
}  // namespace tavo
