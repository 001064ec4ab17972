#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/error_number.h"
#include "tavo/host/children.h"
#include "tavo/host/error.h"
#include "tavo/host/font.h"
#include "tavo/host/object.h"

namespace tavo {
namespace {

// The place, size and state a host keeps for a child, recorded in order of change.
template <class Base>
class Recorded : public Base {
public:
    explicit Recorded(const ChildDesign& d)
        : Base(d), left_(d.left), top_(d.top), width_(d.width), height_(d.height) {}
    std::vector<std::string> log;

    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setLeft(float v) override { left_ = v, log.push_back("left"); }
    void setTop(float v) override { top_ = v, log.push_back("top"); }
    void setWidth(float v) override {
        if (v < 0) throwHostError(err::InvalidPropertyValue, "negative width");
        width_ = v, log.push_back("width");
    }
    void setHeight(float v) override { height_ = v, log.push_back("height"); }
    void setFocus() override { log.push_back("focus"); }
    bool visible() const override { return visible_; }
    void setVisible(bool v) override { visible_ = v; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool v) override { enabled_ = v; }

private:
    float left_, top_, width_, height_;
    bool visible_ = true, enabled_ = true;
};

class FakeButton : public Recorded<PushButton> {
public:
    using Recorded::Recorded;
    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override { picture_ = std::move(p); }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& c) override { caption_ = c; }

private:
    PictureRef picture_;
    std::string caption_;
};

class FakeImage : public Recorded<Image> {
public:
    using Recorded::Recorded;
    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override { picture_ = std::move(p); }
    std::string toolTipText() const override { return tip_; }
    void setToolTipText(const std::string& t) override { tip_ = t; }
    void refresh() override { log.push_back("refresh"); }

private:
    PictureRef picture_;
    std::string tip_;
};

class FakeTimer : public Recorded<Timer> {
public:
    using Recorded::Recorded;
    int interval() const override { return interval_; }
    void setInterval(int ms) override { interval_ = ms; }

private:
    int interval_ = 0;
};

ChildDesign design(std::string name, int index = -1, float left = 0, float top = 0, float width = 0,
                   float height = 0) {
    ChildDesign d;
    d.name = std::move(name);
    d.index = index;
    d.left = left;
    d.top = top;
    d.width = width;
    d.height = height;
    return d;
}

PictureRef tinyGif() {
    return Picture::fromBytes({'G', 'I', 'F', '8', '9', 'a', 2, 0, 3, 0, 0, 0, 0});
}

class Bare : public Object {
public:
    std::string className() const override { return "Bare"; }
};

TEST(LateBound, AnUnknownMemberIsError438NamingClassAndMember) {
    Bare bare;
    std::vector<Variant> args;
    for (const auto& access : std::vector<std::function<void()>>{
             [&] { bare.get("Color"); }, [&] { bare.put("Color", Variant()); },
             [&] { bare.putRef("Color", Variant()); }, [&] { bare.call("Color", args); }}) {
        try {
            access();
            ADD_FAILURE();
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::NoSuchMember);
            EXPECT_STREQ(e.what(), "Object doesn't support this property or method: Bare has no member 'Color'");
        }
    }
}

TEST(LateBoundFont, MembersReadAndWriteTheSharedFont) {
    auto font = std::make_shared<Font>("Arial", 10);
    font->put("bold", Variant::boolean(true));
    EXPECT_TRUE(font->bold());
    EXPECT_EQ(font->get("WEIGHT").toInteger(), 700);
    font->put("Weight", Variant::integer(400));
    EXPECT_EQ(font->get("Bold").toBoolean(), vbFalse);
    font->put("Size", Variant::string("12.5"));
    EXPECT_EQ(font->size, 12.5);
    font->put("Name", Variant::string("Tahoma"));
    font->put("Italic", Variant::string("True"));
    font->put("Underline", Variant::integer(1));
    font->put("Strikethrough", Variant::integer(-1));
    font->put("Charset", Variant::integer(238));
    EXPECT_EQ(font->get("Name").toString(), "Tahoma");
    EXPECT_TRUE(font->italic && font->underline && font->strikethrough);
    EXPECT_EQ(font->get("Charset").toInteger(), 238);
}

TEST(LateBoundFont, BadValuesLeaveTheFontAsItWas) {
    Font font("Arial", 10);
    EXPECT_EQ(errorNumberOf([&] { font.put("Size", Variant::string("big")); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { font.put("Size", Variant::integer(0)); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { font.put("Charset", Variant::integer(256)); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { font.put("Weight", Variant::number(1e6)); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { font.put("Name", Variant::string("")); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { font.put("Colour", Variant::integer(1)); }), err::NoSuchMember);
    EXPECT_EQ(font.size, 10);
    EXPECT_EQ(font.charset, 0);
    EXPECT_EQ(font.weight, 400);
    EXPECT_EQ(font.name, "Arial");
}

TEST(LateBoundChild, MoveSetsPlaceThenSizeAndKeepsWhatIsLeftOut) {
    FakeButton cmd(design("cmd", -1, 10, 20, 30, 40));
    cmd.move(1, 2, 3);
    EXPECT_EQ(cmd.log, (std::vector<std::string>{"left", "top", "width"}));
    EXPECT_EQ(cmd.height(), 40);

    cmd.log.clear();
    std::vector<Variant> args{Variant::integer(100), Variant::string("200")};
    cmd.call("move", args);
    EXPECT_EQ(cmd.left(), 100);
    EXPECT_EQ(cmd.top(), 200);
    EXPECT_EQ(cmd.width(), 3);
    EXPECT_EQ(cmd.height(), 40);

    args = {Variant::integer(5), Variant::integer(6), Variant::integer(7), Variant::number(8.5)};
    cmd.call("Move", args);
    EXPECT_EQ(cmd.height(), 8.5f);

    args = {Variant::string("left")};
    EXPECT_EQ(errorNumberOf([&] { cmd.call("Move", args); }), err::TypeMismatch);
    args = {Variant::integer(0), Variant::integer(0), Variant::integer(-1)};
    EXPECT_EQ(errorNumberOf([&] { cmd.call("Move", args); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { cmd.call("Move"); }), err::InvalidProcedureCall);
}

TEST(LateBoundChild, ContainerMembersByName) {
    FakeImage img(design("img"));
    img.put("Left", Variant::string("120"));
    img.put("WIDTH", Variant::number(240.5));
    EXPECT_EQ(img.get("left").toDouble(), 120);
    EXPECT_EQ(img.get("Width").toDouble(), 240.5);
    img.put("Visible", Variant::boolean(false));
    img.put("Enabled", Variant::integer(0));
    EXPECT_EQ(img.get("Visible").toBoolean(), vbFalse);
    EXPECT_FALSE(img.enabled());
    img.call("SetFocus");
    img.call("Refresh");
    EXPECT_EQ(img.log, (std::vector<std::string>{"left", "width", "focus", "refresh"}));
    EXPECT_EQ(errorNumberOf([&] { img.put("Top", Variant::number(1e40)); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { img.get("Caption"); }), err::NoSuchMember);
}

TEST(LateBoundChild, PicturesArePutByReferenceAndOnlyPicturesFit) {
    const PictureRef picture = tinyGif();
    FakeButton cmd(design("cmd"));
    FakeImage img(design("imgUp"));
    cmd.putRef("Picture", Variant::object(picture));
    img.put("picture", Variant::object(picture));
    EXPECT_EQ(cmd.picture(), picture);
    EXPECT_EQ(img.get("Picture").toObject(), picture);  // the same object, not a copy

    EXPECT_EQ(errorNumberOf([&] { cmd.putRef("Picture", Variant::object(std::make_shared<Font>())); }),
              err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { img.putRef("Picture", Variant::string("up.gif")); }), err::TypeMismatch);
    EXPECT_EQ(cmd.picture(), picture);
    img.putRef("Picture", Variant::object(nullptr));
    EXPECT_EQ(img.picture(), nullptr);
    EXPECT_EQ(errorNumberOf([&] { img.putRef("Left", Variant::integer(1)); }), err::NoSuchMember);
}

TEST(LateBoundChild, ButtonCaptionImageTipAndTimerInterval) {
    FakeButton cmd(design("cmdCancel"));
    cmd.put("Caption", Variant::string("Abbrechen"));
    EXPECT_EQ(cmd.call("caption").toString(), "Abbrechen");

    FakeImage img(design("img", 1));
    img.put("ToolTipText", Variant::string("Alles aufklappen"));
    EXPECT_EQ(img.toolTipText(), "Alles aufklappen");

    FakeTimer tmr(design("tmr"));
    tmr.put("Interval", Variant::integer(200));
    tmr.put("Enabled", Variant::boolean(false));
    EXPECT_EQ(tmr.get("Interval").toLong(), 200);
    EXPECT_FALSE(tmr.enabled());
    EXPECT_EQ(errorNumberOf([&] { tmr.put("Interval", Variant::longValue(70000)); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { tmr.put("Interval", Variant::integer(-1)); }), err::InvalidPropertyValue);
    EXPECT_EQ(tmr.interval(), 200);
}

}  // namespace
}  // namespace tavo
