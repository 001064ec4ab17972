#include "backends/headless/headless_child.h"

#include <sstream>

#include "backends/headless/headless_host_parts.h"
#include "backends/headless/headless_window.h"
#include "tavo/host/error.h"

namespace tavo {

EventLoop& ChildPlace::loop() const { return placing_.host->loop; }

Recorder& ChildPlace::recorder() const { return placing_.host->recorder; }

InputRouter& ChildPlace::input() const { return placing_.host->input; }

WindowManager& ChildPlace::windows() const { return placing_.host->windows; }

const HeadlessScreen& ChildPlace::screen() const { return placing_.host->screen; }

FontRef ChildPlace::ambientFont() const { return placing_.host->ambientFont; }

bool ChildPlace::gone() const {
    const auto w = window();
    if (!w || w->destroyed()) return true;
    return placing_.site && !placing_.site->alive;
}

bool ChildPlace::takesInput() const {
    if (gone()) return false;
    const Child& c = asChild();
    if (!c.visible() || !c.enabled()) return false;
    return !placing_.site || placing_.site->enabled;
}

double ChildPlace::screenLeft() const {
    const auto w = window();
    double x = w ? w->left() : 0.0;
    if (placing_.site) x += placing_.site->left;
    return x + asChild().left();
}

double ChildPlace::screenTop() const {
    const auto w = window();
    double y = w ? w->top() : 0.0;
    if (placing_.site) y += placing_.site->top;
    return y + asChild().top();
}

std::string messageNumber(double v) {
    std::ostringstream os;
    os << v;
    return os.str();
}

void checkChildSize(const Child& c, const char* member, float v) {
    if (!(v >= 0))
        throwHostError(err::InvalidPropertyValue,
                       c.displayName() + "." + member + " " + messageNumber(v) + " is negative");
}

void focusChild(ChildPlace& c) {
    const std::string name = c.asChild().displayName();
    if (c.gone()) throwHostError(err::InvalidProcedureCall, name + " cannot take the focus: its window is unloaded");
    if (!c.takesInput())
        throwHostError(err::InvalidProcedureCall, name + " cannot take the focus while hidden or disabled");
    c.windows().setFocus(c.childRef());
}

}  // namespace tavo
