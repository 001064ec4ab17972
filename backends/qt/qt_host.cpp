#include "tavo/qt/qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QDate>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <bit>
#include <cmath>
#include <utility>

#include "backends/qt/event_hook.h"
#include "backends/qt/key_router.h"
#include "backends/qt/qt_accessibility.h"
#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_window.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

const char* const kHandleProperty = "tavoWindowHandle";

// How many controls a form takes between two deliveries of what Qt posted
// for them: few enough that the waiting requests stay a short list, enough
// that a window on the screen is not drawn anew for every control.
constexpr int kControlsPerDelivery = 32;

// The thread's host, whoever made it, and the one forThisThread made.
thread_local QtHost* threadHost = nullptr;
thread_local std::weak_ptr<QtHost> madeHost;

// Lengths convert through the primary screen's density wherever a window
// stands, so that a control keeps its size in twips across screens.
QScreen* screen() {
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) throwHostError(err::InvalidProcedureCall, "the Qt host has no screen");
    return s;
}

Q_LOGGING_CATEGORY(lcQtHost, "tavo.qt")

// Where the pointer is, or where a press by a tool stands in for it.
QPoint pointerPos() {
    const QPoint* standIn = PointerStandIn::current();
    return standIn ? *standIn : QCursor::pos();
}

// The screen the pointer is on: a popup placed from the pointer keeps to it.
// Between screens, the primary one.
QRect pointerScreen() {
    const QScreen* s = QGuiApplication::screenAt(pointerPos());
    return (s ? s : screen())->geometry();
}

struct KeyStroke {
    int key;
    QString text;
    Qt::KeyboardModifiers modifiers;
};

KeyStroke namedKey(const std::string& name, std::string_view all) {
    static const struct {
        const char* name;
        int key;
        char16_t ch;
    } kNames[] = {
        {"ESC", Qt::Key_Escape, 27},     {"ESCAPE", Qt::Key_Escape, 27},   {"ENTER", Qt::Key_Return, 13},
        {"TAB", Qt::Key_Tab, 9},         {"BS", Qt::Key_Backspace, 8},    {"BACKSPACE", Qt::Key_Backspace, 8},
        {"BKSP", Qt::Key_Backspace, 8}, {"DEL", Qt::Key_Delete, 0},      {"DELETE", Qt::Key_Delete, 0},
        {"INS", Qt::Key_Insert, 0},     {"INSERT", Qt::Key_Insert, 0},   {"HOME", Qt::Key_Home, 0},
        {"END", Qt::Key_End, 0},        {"PGUP", Qt::Key_PageUp, 0},     {"PGDN", Qt::Key_PageDown, 0},
        {"UP", Qt::Key_Up, 0},          {"DOWN", Qt::Key_Down, 0},       {"LEFT", Qt::Key_Left, 0},
        {"RIGHT", Qt::Key_Right, 0},    {"{", Qt::Key_BraceLeft, u'{'}, {"}", Qt::Key_BraceRight, u'}'},
        {"+", Qt::Key_Plus, u'+'},      {"^", Qt::Key_AsciiCircum, u'^'}, {"%", Qt::Key_Percent, u'%'},
        {"~", Qt::Key_AsciiTilde, u'~'},
    };
    std::string upper;
    for (char c : name) upper += ascii::upper(c);
    for (const auto& n : kNames)
        if (upper == n.name) return {n.key, n.ch ? QString(QChar(n.ch)) : QString(), {}};
    if (upper.size() >= 2 && upper[0] == 'F' && upper.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int f = std::stoi(upper.substr(1));
        if (f >= 1 && f <= 16) return {Qt::Key_F1 + (f - 1), {}, {}};
    }
    throwHostError(err::InvalidProcedureCall,
                   "SendKeys does not know the key {" + name + "} in \"" + std::string(all) + "\"");
}

std::vector<KeyStroke> parseKeys(std::string_view keys) {
    std::vector<KeyStroke> out;
    Qt::KeyboardModifiers held;
    const QString text = QString::fromUtf8(keys.data(), qsizetype(keys.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'+') { held |= Qt::ShiftModifier; continue; }
        if (c == u'^') { held |= Qt::ControlModifier; continue; }
        if (c == u'%') { held |= Qt::AltModifier; continue; }
        KeyStroke k;
        if (c == u'{') {
            // "{}}" names the closing brace itself.
            qsizetype end = text.indexOf(u'}', i + 2);
            if (end < 0) throwHostError(err::InvalidProcedureCall, "SendKeys: \"{\" without \"}\" in \"" + std::string(keys) + "\"");
            k = namedKey(text.mid(i + 1, end - i - 1).toStdString(), keys);
            i = end;
        } else if (c == u'~') {
            k = {Qt::Key_Return, QString(QChar(13)), {}};
        } else {
            const QChar upper = c.toUpper();
            const int key = (upper >= u'A' && upper <= u'Z') || (upper >= u'0' && upper <= u'9') ? upper.unicode()
                                                                                              : c.unicode();
            k = {key, QString(c), {}};
        }
        k.modifiers |= held;
        held = {};
        out.push_back(k);
    }
    return out;
}

QWidget* keyboardWidget() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->focusWidget() ? popup->focusWidget() : popup;
    if (QWidget* w = QApplication::focusWidget()) return w;
    return QApplication::activeWindow();
}

}  // namespace

QtHost::QtHost() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw std::logic_error("the Qt host needs a QApplication");
    keyRouter_ = std::make_unique<KeyRouter>(*this);
    installChildAccessibility();
    if (!threadHost) threadHost = this;
}

std::shared_ptr<QtHost> QtHost::forThisThread() {
    if (auto made = madeHost.lock()) return made;
    // The application's own host: shared without owning it.
    if (threadHost) return std::shared_ptr<QtHost>(std::shared_ptr<QtHost>(), threadHost);
    auto made = std::make_shared<QtHost>();
    madeHost = made;
    return made;
}

void reportHandlerError(const std::exception& e) {
    const auto* hostError = dynamic_cast<const HostError*>(&e);
    const HostError error =
        hostError ? *hostError : HostError(err::InternalError, standardErrorText(err::InternalError) + ": " + e.what());
    if (threadHost && threadHost->onHandlerError) threadHost->onHandlerError(error);
    else qCWarning(lcQtHost).noquote() << "a handler failed:" << QString::fromStdString(error.what());
}

QtHost::~QtHost() {
    if (threadHost == this) threadHost = nullptr;
    releaseDefaultInstances();
    adopted_.clear();
    keyRouter_.reset();
    // What the host left to the event loop goes now at the latest, and
    // nothing else of the thread's: the widget whose going lets go of the
    // host may itself be waiting for a deletion asked for earlier.
    for (const QPointer<QWidget>& w : std::exchange(disposals_, {})) delete w.data();
}

void QtHost::disposeLater(QWidget* widget) {
    if (!widget) return;
    // The places of those deleted meanwhile are reused, so that the list
    // stays as long as the widgets still waiting.
    if (disposals_.size() >= 64 && std::has_single_bit(disposals_.size()))
        std::erase_if(disposals_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    disposals_.emplace_back(widget);
    widget->deleteLater();
}

void QtHost::setToday(double serial) { today_ = std::floor(serial); }
void QtHost::clearToday() { today_.reset(); }
void QtHost::setRefuseModeless(bool refuse) { refuseModeless_ = refuse; }

float QtHost::twipsPerPixelX() const { return float(1440.0 / screen()->logicalDotsPerInchX()); }
float QtHost::twipsPerPixelY() const { return float(1440.0 / screen()->logicalDotsPerInchY()); }
float QtHost::screenWidth() const { return float(pointerScreen().width()) * twipsPerPixelX(); }
float QtHost::screenHeight() const { return float(pointerScreen().height()) * twipsPerPixelY(); }
float QtHost::screenLeft() const { return float(pointerScreen().x()) * twipsPerPixelX(); }
float QtHost::screenTop() const { return float(pointerScreen().y()) * twipsPerPixelY(); }

int QtHost::toPixelsX(float twips) const { return int(std::lround(twips / twipsPerPixelX())); }
int QtHost::toPixelsY(float twips) const { return int(std::lround(twips / twipsPerPixelY())); }
float QtHost::toTwipsX(int pixels) const { return float(pixels) * twipsPerPixelX(); }
float QtHost::toTwipsY(int pixels) const { return float(pixels) * twipsPerPixelY(); }

double QtHost::today() const {
    if (today_) return *today_;
    const QDate d = QDate::currentDate();
    return dateSerial(d.year(), d.month(), d.day());
}

void QtHost::doEvents() { QCoreApplication::processEvents(); }

void QtHost::sendKeys(std::string_view keys) {
    const auto strokes = parseKeys(keys);  // a bad key name sends nothing
    trace("sendkeys \"" + std::string(keys) + "\"");
    // As typed keys do, they reach whatever has the keyboard when the loop
    // gets to them: a window that is just being shown has it by then.
    QTimer::singleShot(0, qApp, [strokes] {
        for (const auto& k : strokes)
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QWidget* target = keyboardWidget();
                if (!target) return;
                QKeyEvent key(type, k.key, k.modifiers, k.text);
                QApplication::sendEvent(target, &key);
            }
    });
}

int QtHost::msgBox(std::string_view text, int style) {
    std::string shown;
    for (const char c : text) shown += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    trace("msgbox " + std::to_string(style) + " \"" + shown + "\"");
    if (msgBoxAnswer) return *msgBoxAnswer;
    QMessageBox box;
    box.setObjectName("MsgBox");
    box.setWindowTitle(QApplication::applicationName());
    box.setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    switch (style & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    using B = QMessageBox::StandardButton;
    struct Choice {
        B button;
        int result;
    };
    std::vector<Choice> choices;
    switch (style & 0x0F) {
    case 1: choices = {{B::Ok, 1}, {B::Cancel, 2}}; break;
    case 2: choices = {{B::Abort, 3}, {B::Retry, 4}, {B::Ignore, 5}}; break;
    case 3: choices = {{B::Yes, 6}, {B::No, 7}, {B::Cancel, 2}}; break;
    case 4: choices = {{B::Yes, 6}, {B::No, 7}}; break;
    case 5: choices = {{B::Retry, 4}, {B::Cancel, 2}}; break;
    default: choices = {{B::Ok, 1}}; break;
    }
    QMessageBox::StandardButtons buttons;
    for (const auto& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);
    const int chosen = box.exec();
    for (const auto& c : choices)
        if (c.button == chosen) return c.result;
    // Closed without a button (Escape, the window's close box): the last
    // choice, which is Cancel or No where the style has one, else OK.
    return choices.back().result;
}

bool QtHost::getCursorPos(int32_t& x, int32_t& y) {
    const QPoint p = pointerPos();
    x = p.x();
    y = p.y();
    return true;
}

WindowHandle QtHost::handleOf(QWidget* topLevel) {
    if (!topLevel) return 0;
    const QVariant v = topLevel->property(kHandleProperty);
    if (v.isValid()) return WindowHandle(v.toLongLong());
    const WindowHandle h = nextHandle_++;
    topLevel->setProperty(kHandleProperty, qlonglong(h));
    handles_[h] = topLevel;
    return h;
}

QWidget* QtHost::widgetOf(WindowHandle handle) const {
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second.data();
}

WindowHandle QtHost::getActiveWindow() { return handleOf(QApplication::activeWindow()); }

bool QtHost::setWindowPos(WindowHandle w, WindowHandle insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    QWidget* widget = widgetOf(w);
    if (!widget) return false;
    if (insertAfter == HWND_TOPMOST || insertAfter == -2) {
        const bool top = insertAfter == HWND_TOPMOST;
        const Qt::WindowFlags wanted = top ? widget->windowFlags() | Qt::WindowStaysOnTopHint
                                           : widget->windowFlags() & ~Qt::WindowStaysOnTopHint;
        if (top) trace("topmost " + widget->objectName().toStdString());
        if (wanted != widget->windowFlags()) {
            // setWindowFlags would hide the window; tell the widget and the
            // window system apart so that it stays shown and keeps its place.
            widget->overrideWindowFlags(wanted);
            if (QWindow* handle = widget->windowHandle()) handle->setFlags(wanted);
        }
    }
    if (!(flags & SWP_NOMOVE)) widget->move(x, y);
    if (!(flags & SWP_NOSIZE)) widget->resize(cx, cy);
    widget->raise();
    return true;
}

std::shared_ptr<Window> QtHost::createWindow(const WindowDesign& d) { return std::make_shared<QtWindow>(*this, d); }

// Every widget Qt makes or shows posts requests to itself (polish, layout,
// repaint) for the next turn of the event loop, and each request Qt posts
// looks through all those still waiting. A form filled without a turn of the
// loop (a form file loaded, an application's or a script's run of new
// controls) would cost the square of its controls; so the host delivers the
// posted requests every few controls, as the loop would deliver them, between
// one control and the next. Input and timers still wait for the loop.
std::unique_ptr<ControlSite> QtHost::createSite(Window& form, const std::string& name, const Placement& p) {
    if (++controlsSinceDelivery_ >= kControlsPerDelivery) {
        controlsSinceDelivery_ = 0;
        QCoreApplication::sendPostedEvents();
    }
    return std::make_unique<QtControlSite>(*this, form, name, p);
}

std::shared_ptr<QtWindow> QtHost::windowFor(QWidget* topLevel) {
    if (QtWindow* w = findWindow(topLevel)) return w->shared_from_this();
    auto adopted = std::make_shared<QtWindow>(*this, topLevel);
    adopted_[topLevel] = adopted;
    QObject::connect(topLevel, &QObject::destroyed, keyRouter_.get(), [this, topLevel] { adopted_.erase(topLevel); });
    return adopted;
}

QtWindow* QtHost::findWindow(const QWidget* topLevel) const {
    auto it = windows_.find(topLevel);
    if (it == windows_.end() || it->second->destroyed() || it->second->widget() != topLevel) return nullptr;
    return it->second;
}

void QtHost::registerWindow(QtWindow& w) { windows_[w.widget()] = &w; }

void QtHost::unregisterWindow(const QtWindow& w) {
    for (auto it = windows_.begin(); it != windows_.end(); ++it)
        if (it->second == &w) {
            windows_.erase(it);
            return;
        }
}

FontRef QtHost::ambientFont() {
    if (!ambientFont_) ambientFont_ = fontFromQFont(QApplication::font());
    return ambientFont_;
}

}  // namespace tavo
