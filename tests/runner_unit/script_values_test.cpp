#include "apps/tavo_run/script_values.h"

#include <gtest/gtest.h>

#include "apps/tavo_run/script_syntax.h"
#include "tavo/components/tree_node.h"
#include "tavo/host/font.h"

namespace tavo {
namespace {

// A node wrapper as a tree view hands out: a new wrapper per call, one node behind it.
class WrappedNode : public TreeNode {
public:
    explicit WrappedNode(int id) : id_(id) {}
    std::string className() const override { return "SSNode"; }
    void setExpanded(bool) override {}
    bool expanded() const override { return false; }
    int32_t childCount() const override { return 0; }
    TreeNodeRef firstChild() const override { return nullptr; }
    TreeNodeRef lastSibling() const override { return nullptr; }
    TreeNodeRef nextSibling() const override { return nullptr; }
    int32_t bringIntoView() override { return 0; }
    bool sameNode(const TreeNode& other) const override {
        const auto* w = dynamic_cast<const WrappedNode*>(&other);
        return w && w->id_ == id_;
    }

private:
    int id_;
};

TEST(FormatValue, PrintsWhatParseValueReadsBack) {
    ObjectIdentities ids;
    for (const char* text : {"0", "-1", "32768", "12.5", "True", "False", "Empty", "Nothing", "#2000-08-21#",
                             "#2000-08-21 14:30:05#", R"("Aktuelles Element aufklappen")", R"("a\"b\r\n")"}) {
        EXPECT_EQ(formatValue(parseValue(text).plain, false, ids), text);
    }
    EXPECT_EQ(formatValue(parseValue("&H80000005&").plain, true, ids), "&H80000005&");
    EXPECT_EQ(formatValue(Variant::number(2147483653.0), true, ids), "&H80000005&");
    EXPECT_EQ(formatValue(Variant::longValue(255), true, ids), "&HFF&");
}

TEST(FormatValue, ObjectsKeepOneIdentityEachAndNodesFollowTheirNode) {
    ObjectIdentities ids;
    auto font = std::make_shared<Font>();
    auto other = std::make_shared<Font>();
    EXPECT_EQ(formatValue(Variant::object(font), false, ids), "Font#1");
    EXPECT_EQ(formatValue(Variant::object(other), false, ids), "Font#2");
    EXPECT_EQ(formatValue(Variant::object(font), false, ids), "Font#1");

    EXPECT_EQ(ids.name(std::make_shared<WrappedNode>(7)), "SSNode#3");
    EXPECT_EQ(ids.name(std::make_shared<WrappedNode>(7)), "SSNode#3");
    EXPECT_EQ(ids.name(std::make_shared<WrappedNode>(8)), "SSNode#4");
    EXPECT_EQ(ids.find(2), other);
    EXPECT_EQ(ids.find(5), nullptr);
}

TEST(ValuesMatch, ComparesNumbersByValueAcrossTheirTypes) {
    EXPECT_TRUE(valuesMatch(Variant::longValue(3), Variant::integer(3), false));
    EXPECT_TRUE(valuesMatch(Variant::number(3015), Variant::integer(3015), false));
    EXPECT_TRUE(valuesMatch(Variant::integer(-1), Variant::boolean(true), false));
    EXPECT_TRUE(valuesMatch(Variant::boolean(false), Variant::integer(0), false));
    EXPECT_FALSE(valuesMatch(Variant::number(3015.5), Variant::integer(3015), false));
    EXPECT_FALSE(valuesMatch(Variant::string("3"), Variant::integer(3), false));
    EXPECT_FALSE(valuesMatch(Variant(), Variant::integer(0), false));
    EXPECT_FALSE(valuesMatch(Variant::date(3), Variant::integer(3), false));
}

TEST(ValuesMatch, ColoursCompareTheirThirtyTwoBits) {
    const Variant expected = parseValue("&H80000005&").plain;
    EXPECT_TRUE(valuesMatch(Variant::number(2147483653.0), expected, true));
    EXPECT_TRUE(valuesMatch(Variant::longValue(-2147483643), expected, true));
    EXPECT_FALSE(valuesMatch(Variant::longValue(5), expected, true));
}

TEST(ValuesMatch, DatesTextAndObjects) {
    EXPECT_TRUE(valuesMatch(Variant::date(36759), Variant::date(36759), false));
    EXPECT_TRUE(valuesMatch(Variant::number(36759), Variant::date(36759), false));
    EXPECT_FALSE(valuesMatch(Variant::string("21.08.2000"), Variant::date(36759), false));
    EXPECT_TRUE(valuesMatch(Variant::string("a"), Variant::string("a"), false));
    EXPECT_FALSE(valuesMatch(Variant::string("A"), Variant::string("a"), false));

    auto font = std::make_shared<Font>();
    EXPECT_TRUE(valuesMatch(Variant::object(font), Variant::object(font), false));
    EXPECT_FALSE(valuesMatch(Variant::object(std::make_shared<Font>()), Variant::object(font), false));
    EXPECT_TRUE(valuesMatch(Variant::object(nullptr), Variant::object(nullptr), false));
    EXPECT_FALSE(valuesMatch(Variant(), Variant::object(nullptr), false));
    EXPECT_TRUE(valuesMatch(Variant::object(std::make_shared<WrappedNode>(1)),
                            Variant::object(std::make_shared<WrappedNode>(1)), false));
}

TEST(IsColourMember, GoesByTheMembersName) {
    EXPECT_TRUE(isColourMember("BackColor"));
    EXPECT_TRUE(isColourMember("calendartitleforecolor"));
    EXPECT_FALSE(isColourMember("Colors"));
    EXPECT_FALSE(isColourMember("Value"));
}

}  // namespace
}  // namespace tavo
