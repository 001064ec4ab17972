#include "tavo/host/property_store.h"

#include <gtest/gtest.h>

#include "form_test_host.h"
#include "tavo/host/error.h"
#include "tavo/host/font.h"

namespace tavo {
namespace {

TEST(PropertyStore, LeavesOutDefaultsAndReadsMissingKeysAsTheirDefault) {
    PropertyStore store;
    store.WriteProperty("Enabled", Variant::boolean(true), Variant::boolean(true));
    store.WriteProperty("Format", Variant::longValue(3), Variant::longValue(1));
    store.WriteProperty("CustomFormat", Variant::string(""), Variant::string(""));
    ASSERT_EQ(store.entries().size(), 1u);
    EXPECT_EQ(store.entries()[0].key, "Format");

    Variant format = store.ReadProperty("Format", Variant::longValue(1));
    EXPECT_EQ(format.type(), VarType::Long);
    EXPECT_EQ(format.toLong(), 3);
    Variant enabled = store.ReadProperty("Enabled", Variant::integer(-1));
    EXPECT_EQ(enabled.type(), VarType::Integer) << "a missing key reads as the default it is given";
}

TEST(PropertyStore, EmptyTextIsKeptWhenTheDefaultIsNotEmpty) {
    PropertyStore store;
    store.WriteProperty("ToolTipTextPlus", Variant::string(""), Variant::string("Aktuelles Element aufklappen"));
    ASSERT_EQ(store.entries().size(), 1u);
    store.rewind();
    EXPECT_EQ(store.ReadProperty("ToolTipTextPlus", Variant::string("Aktuelles Element aufklappen")).toString(), "");
}

// The date control writes "CalendarMonthBackColor" twice; each occurrence
// must come back on its own whichever of the two equals its default.
TEST(PropertyStore, EachOccurrenceOfARepeatedKeyRoundTripsOnItsOwn) {
    struct Case {
        uint32_t surface, setting;
    } cases[] = {{0x80000005u, 0}, {0x80000005u, 255}, {0xFF, 0}, {0xFF, 0xFF00}};
    const Variant surfaceDefault = Variant::longValue(static_cast<int32_t>(0x80000005u));
    const Variant settingDefault = Variant::longValue(0);
    for (auto c : cases) {
        PropertyStore store;
        store.WriteProperty("CalendarMonthBackColor", Variant::longValue(static_cast<int32_t>(c.surface)), surfaceDefault);
        store.WriteProperty("CalendarMonthBackColor", Variant::longValue(static_cast<int32_t>(c.setting)), settingDefault);
        store.rewind();
        EXPECT_EQ(store.ReadProperty("CalendarMonthBackColor", surfaceDefault).toColour(), c.surface);
        EXPECT_EQ(store.ReadProperty("CalendarMonthBackColor", settingDefault).toColour(), c.setting);
        // A third read has no occurrence behind it.
        EXPECT_EQ(store.ReadProperty("CalendarMonthBackColor", Variant::longValue(7)).toLong(), 7);
    }
}

TEST(PropertyStore, OnlyTheSecondOccurrenceIsStoredWhenTheFirstIsDefault) {
    PropertyStore store;
    store.WriteProperty("CalendarMonthBackColor", Variant::longValue(5), Variant::longValue(5));
    store.WriteProperty("CalendarMonthBackColor", Variant::longValue(255), Variant::longValue(0));
    ASSERT_EQ(store.entries().size(), 1u);
    EXPECT_EQ(store.entries()[0].occurrence, 2);
}

TEST(PropertyStore, KeysMatchWithoutRegardToCaseAndRewindStartsReadingAgain) {
    PropertyStore store;
    store.add({"backcolor", 1, Variant::longValue(255), "", 3});
    EXPECT_EQ(store.ReadProperty("BackColor", Variant::longValue(0)).toLong(), 255);
    EXPECT_EQ(store.ReadProperty("BackColor", Variant::longValue(0)).toLong(), 0);
    store.rewind();
    EXPECT_EQ(store.ReadProperty("BACKCOLOR", Variant::longValue(0)).toLong(), 255);
}

TEST(PropertyStore, FontsAndPicturesAreStoredAsTheObjectItself) {
    auto font = std::make_shared<Font>("Arial", 9.75, true);
    PropertyStore store;
    store.WriteProperty("Font", Variant::object(font), Variant::object(nullptr));
    store.rewind();
    EXPECT_EQ(store.ReadProperty("Font", Variant::object(nullptr)).toObject(), font);
}

TEST(PropertyStore, AControlIsStoredByNameAndResolvedOnRead) {
    TestHost host;
    WindowDesign design;
    design.name = "Form1";
    auto window = host.createWindow(design);
    auto site = host.createSite(*window, "Tree1", {});
    auto tree = std::make_shared<Gadget>(*site);

    PropertyStore store;
    store.WriteProperty("mySSTree", Variant::object(tree), Variant::object(nullptr));
    ASSERT_EQ(store.entries().size(), 1u);
    EXPECT_EQ(store.entries()[0].refName, "Tree1");

    store.rewind();
    try {
        store.ReadProperty("mySSTree", Variant::object(nullptr));
        FAIL() << "a reference cannot be read without a resolver";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::ObjectNotSet);
        EXPECT_NE(std::string(e.what()).find("mySSTree"), std::string::npos) << e.what();
    }

    store.rewind();
    store.setResolver([&](const std::string& name) -> ObjectRef { return name == "Tree1" ? tree : nullptr; });
    EXPECT_EQ(store.ReadProperty("mySSTree", Variant::object(nullptr)).toObject(), tree);

    store.rewind();
    store.setResolver([](const std::string&) -> ObjectRef { return nullptr; });
    EXPECT_THROW(store.ReadProperty("mySSTree", Variant::object(nullptr)), HostError);
}

}  // namespace
}  // namespace tavo
