#include "support/refused_value.h"

#include <gtest/gtest.h>

#include "tavo/host/form_file.h"

namespace tavo {

std::string expectRefused(Form& form, const std::string& text, const std::string& control, const RefusedValue& c) {
    try {
        form.load(parseFormText(text, "bad.frm"));
        ADD_FAILURE() << "loaded:\n" << text;
    } catch (const FormLoadError& e) {
        EXPECT_EQ(e.failures().size(), 1u) << e.what();
        const LoadFailure& f = e.failures().front();
        EXPECT_EQ(f.control, control);
        EXPECT_EQ(f.key, c.key);
        EXPECT_EQ(f.line, c.line);
        EXPECT_EQ(f.number, c.number) << f.text;
        const std::string place = "bad.frm:" + std::to_string(c.line) + ": " + c.key + ": ";
        EXPECT_EQ(f.text.rfind(place, 0), 0u) << f.text;
        EXPECT_NE(f.text.find(c.problem), std::string::npos) << f.text;
        EXPECT_EQ(f.text.find("cal."), std::string::npos) << "a child's name: " << f.text;
    }
    const std::string saved = formatFormText(form.save());
    EXPECT_NE(saved.find(std::string("      ") + c.kept + "\n"), std::string::npos) << saved;
    return saved;
}

}  // namespace tavo
