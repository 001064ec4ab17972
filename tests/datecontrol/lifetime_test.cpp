// A date control whose form goes while its popup is open: the popup goes with
// it, and whatever still holds the control (the popup's back reference, an
// application) gets an error from it instead of reaching a freed site.
#include "date_control_fixture.h"

#include "backends/headless/headless_month_grid.h"
#include "tavo/host/error.h"
#include "tavo/host/form_file.h"

namespace tavo {
namespace {

constexpr double k1Sep2000 = 36770;

// The ways an application's form goes: it is destroyed, or another form is
// loaded into it.
enum class FormGoes { Destroyed, Reloaded };

class DateControlLifetime : public DateControlTest, public ::testing::WithParamInterface<FormGoes> {
protected:
    void formGoes() {
        if (GetParam() == FormGoes::Destroyed)
            form.reset();
        else
            form->load(parseFormText("VERSION 1.00\n"
                                     "Begin Form Form1\n"
                                     "   Begin TavoCalendar.TavoCalendarDropDown Cal1\n"
                                     "   End\n"
                                     "End\n",
                                     "other.frm"));
        host.runUntilIdle();
    }

    static int unloadedError(const std::function<void()>& f) {
        try {
            f();
        } catch (const HostError& e) {
            EXPECT_NE(std::string(e.what()).find("\"Cal1\" no longer exists"), std::string::npos) << e.what();
            return e.number();
        }
        return 0;
    }
};

TEST_P(DateControlLifetime, AnOpenPopupGoesWithTheFormOfItsControl) {
    auto c = add("Cal1");
    press(*c);
    ASSERT_TRUE(popup().Visible());
    log.clear();

    formGoes();
    EXPECT_FALSE(popup().isLoaded());
    EXPECT_EQ(traced("unload frmCalendar"), 1);
    EXPECT_EQ(count("event Cal1.Change"), 0);
    EXPECT_FALSE(c->hasSite());
}

TEST_P(DateControlLifetime, NothingThatOutlivesTheFormReachesItsControl) {
    auto c = add("Cal1");
    press(*c);
    formGoes();

    // The popup's back reference, as a day click or a script writes through it.
    ObjectRef back = popup().objBackReference;
    ASSERT_EQ(back, c);
    EXPECT_EQ(unloadedError([&] { back->put("Value", Variant::date(k1Sep2000)); }), err::ObjectUnloaded);
    // An application's own reference, by every late-bound route.
    Variant arg = Variant::integer(1);
    EXPECT_EQ(unloadedError([&] { c->get("Value"); }), err::ObjectUnloaded);
    EXPECT_EQ(unloadedError([&] { c->putRef("Font", Variant::object(std::make_shared<Font>())); }),
              err::ObjectUnloaded);
    EXPECT_EQ(unloadedError([&] { c->call("imgDropDown", std::span<Variant>(&arg, 1)); }), err::ObjectUnloaded);
    // A popup shown again without an opening still names the old control:
    // its day click fails in the handler and leaves the popup as it was.
    popup().Show();
    host.runUntilIdle();
    dynamic_cast<HeadlessMonthGrid&>(popup().cal()).dateClick(k1Sep2000);
    host.runUntilIdle();
    ASSERT_EQ(host.handlerErrors().size(), 1u);
    EXPECT_EQ(host.handlerErrors()[0].number(), err::ObjectUnloaded);
    EXPECT_TRUE(popup().Visible());
    EXPECT_EQ(count("event Cal1.Change"), 0);
}

TEST_P(DateControlLifetime, APopupOpenedFromAnotherFormStaysOpen) {
    add("Cal1");
    Form other(host, "Form2", registry);
    auto c2 = std::dynamic_pointer_cast<TavoCalendarDropDown>(
        other.add(TavoCalendarDropDown::kProgId, "Cal2", {1500, 1500, 3015, 330}));
    other.window().show();
    host.runUntilIdle();
    press(*c2);
    ASSERT_TRUE(popup().Visible());

    formGoes();
    EXPECT_TRUE(popup().Visible());
    dynamic_cast<HeadlessMonthGrid&>(popup().cal()).dateClick(k1Sep2000);
    host.runUntilIdle();
    EXPECT_EQ(c2->Value().toDate(), k1Sep2000);
}

INSTANTIATE_TEST_SUITE_P(Routes, DateControlLifetime, ::testing::Values(FormGoes::Destroyed, FormGoes::Reloaded),
                         [](const auto& route) {
                             return route.param == FormGoes::Destroyed ? "FormDestroyed" : "FormReloaded";
                         });

}  // namespace
}  // namespace tavo
