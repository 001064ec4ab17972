#include "apps/tavo_run/qt/qt_backend.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <cmath>
#include <limits>

#include "apps/tavo_run/demo_form.h"
#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_image.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_window.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/qt/qt_tree_view.h"

namespace tavo {

namespace {

// Where a new form window stands, and the event log's place beside the form, in pixels.
constexpr QPoint kFormPlace{40, 40};
constexpr int kMargin = 16, kLogGap = 24, kLogWidth = 340, kMinHeight = 360, kHeadingHeight = 20;

template <class T>
T* as(Object& obj) {
    return dynamic_cast<T*>(&obj);
}

// The widget that receives a child's input, or a host error naming the child.
QWidget* widgetOf(Child& c) {
    QWidget* w = nullptr;
    if (auto* b = as<QtPushButton>(c)) w = b->widget();
    else if (auto* i = as<QtImage>(c)) w = i->widget();
    else if (auto* d = as<QtDateBox>(c)) w = d->edit();
    else if (auto* g = as<QtMonthGrid>(c)) w = g->grid();
    if (!w) throw HostError(err::InvalidProcedureCall, c.displayName() + " has nothing on the screen to take input");
    return w;
}

// While a modal window is up, the window system gives no input to the others.
bool blockedByModal(QWidget* w) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && w->window() != modal;
}

void sendMouse(QEvent::Type type, QWidget* w, QPoint at, Qt::MouseButton button) {
    const QPoint global = w->mapToGlobal(at);
    QCursor::setPos(global);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(global), button, held, QApplication::keyboardModifiers());
    QApplication::sendEvent(w, &e);
}

Qt::MouseButton qtButton(int16_t button) {
    switch (button) {
    case 2: return Qt::RightButton;
    case 4: return Qt::MiddleButton;
    default: return Qt::LeftButton;
    }
}

struct KeyStroke {
    int key;
    QString text;
};

KeyStroke keyStroke(const std::string& key) {
    static const struct {
        const char* name;
        int key;
        const char* text;
    } kNamed[] = {
        {"ESC", Qt::Key_Escape, "\x1b"}, {"ENTER", Qt::Key_Return, "\r"}, {"TAB", Qt::Key_Tab, "\t"},
        {"F4", Qt::Key_F4, ""},          {"UP", Qt::Key_Up, ""},          {"DOWN", Qt::Key_Down, ""},
        {"LEFT", Qt::Key_Left, ""},      {"RIGHT", Qt::Key_Right, ""},    {"PGUP", Qt::Key_PageUp, ""},
        {"PGDN", Qt::Key_PageDown, ""},  {"HOME", Qt::Key_Home, ""},      {"END", Qt::Key_End, ""},
    };
    for (const auto& n : kNamed)
        if (key == n.name) return {n.key, QString::fromLatin1(n.text)};
    const QChar c = QChar::fromLatin1(key.at(0));
    const QChar upper = c.toUpper();
    const bool plain = (upper >= u'A' && upper <= u'Z') || (upper >= u'0' && upper <= u'9');
    return {plain ? upper.unicode() : c.unicode(), QString(c)};
}

QDate qDate(double serial) {
    const DateParts p = splitDate(serial);
    return QDate(p.year, p.month, p.day);
}

// The screen as the window system would show it, for platforms that cannot
// grab it (offscreen): every visible top-level window drawn at its place,
// topmost ones and popups last.
QImage composeScreen(QScreen& screen) {
    QImage image(screen.geometry().size(), QImage::Format_RGB32);
    image.fill(QColor(58, 110, 165));
    QPainter painter(&image);
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->isHidden()) windows.push_back(w);
    const auto layer = [](const QWidget* w) {
        if (w->windowType() == Qt::Popup) return 2;
        return w->windowFlags() & Qt::WindowStaysOnTopHint ? 1 : 0;
    };
    std::stable_sort(windows.begin(), windows.end(),
                     [&](const QWidget* a, const QWidget* b) { return layer(a) < layer(b); });
    for (QWidget* w : windows) painter.drawPixmap(w->geometry().topLeft() - screen.geometry().topLeft(), w->grab());
    return image;
}

}  // namespace

QtBackend::QtBackend(QtHost& host) : host_(host) {}

QtBackend::~QtBackend() {
    host_.onModalIdle = nullptr;
    host_.onTrace = nullptr;
    host_.msgBoxAnswer.reset();
}

void QtBackend::setScreen(int widthPx, int heightPx, int dpi) {
    QScreen* s = QGuiApplication::primaryScreen();
    const QSize size = s ? s->geometry().size() : QSize();
    const int realDpi = s ? int(std::lround(s->logicalDotsPerInchX())) : 0;
    if (size == QSize(widthPx, heightPx) && realDpi == dpi) return;
    throw HostError(err::InvalidProcedureCall, "real windows stand on the real screen of " +
                                                   std::to_string(size.width()) + " x " +
                                                   std::to_string(size.height()) + " pixels at " +
                                                   std::to_string(realDpi) + " dpi; a script cannot make it " +
                                                   std::to_string(widthPx) + " x " + std::to_string(heightPx) +
                                                   " at " + std::to_string(dpi));
}

void QtBackend::addScreen(int leftPx, int topPx, int widthPx, int heightPx) {
    const QRect wanted(leftPx, topPx, widthPx, heightPx);
    std::string real;
    for (const QScreen* s : QGuiApplication::screens()) {
        if (s->geometry() == wanted && s != QGuiApplication::primaryScreen()) return;
        const QRect g = s->geometry();
        real += (real.empty() ? "" : "; ") + std::to_string(g.x()) + ", " + std::to_string(g.y()) + " (" +
                std::to_string(g.width()) + " x " + std::to_string(g.height()) + ")";
    }
    throw HostError(err::InvalidProcedureCall, "real windows stand on the real screens (" + real +
                                                   "); a script cannot add one at " + std::to_string(leftPx) + ", " +
                                                   std::to_string(topPx) + " (" + std::to_string(widthPx) + " x " +
                                                   std::to_string(heightPx) + ")");
}

void QtBackend::setMainWindow(Window& w) {
    auto* window = dynamic_cast<QtWindow*>(&w);
    if (!window || !window->widget())
        throw HostError(err::InvalidProcedureCall, "the form window \"" + w.name() + "\" is not a window of the Qt host");
    formWidget_ = window->widget();
    formWidget_->move(kFormPlace);
    auto* heading = new QLabel(QStringLiteral("Ereignisse:"), formWidget_);
    heading->setObjectName("lblLog");
    logPanel_ = new QPlainTextEdit(formWidget_);
    logPanel_->setObjectName("txtLog");
    logPanel_->setReadOnly(true);
    logPanel_->setLineWrapMode(QPlainTextEdit::NoWrap);
    logPanel_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    labels_ = {heading};
    arrange(nullptr);
    w.show();
}

// The form's controls keep their places; the event log stands to their right.
void QtBackend::arrange(const Form* form) {
    if (!formWidget_ || !logPanel_) return;
    std::vector<QPointer<QLabel>> kept;
    for (auto& label : labels_)
        if (label && label->objectName() != "lblLog") delete label.data();
        else if (label) kept.push_back(label);
    labels_ = kept;

    QRect content(kMargin, kMargin, 0, 0);
    const auto toPixels = [this](float l, float t, float w, float h) {
        return QRect(host_.toPixelsX(l), host_.toPixelsY(t), host_.toPixelsX(w), host_.toPixelsY(h));
    };
    if (form) {
        for (const auto& c : form->controls())
            if (const ControlSite* site = form->siteOf(*c))
                content = content.united(toPixels(site->left(), site->top(), site->width(), site->height()));
        if (ascii::equalsNoCase(form->name(), demo::kFormName))
            for (const demo::Label& l : demo::labels()) {
                auto* label = new QLabel(QString::fromUtf8(l.text.data(), qsizetype(l.text.size())), formWidget_);
                label->setObjectName(QString::fromUtf8(l.name.data(), qsizetype(l.name.size())));
                label->setWordWrap(true);
                label->setGeometry(toPixels(l.left, l.top, l.width, l.height));
                label->show();
                labels_.push_back(label);
                content = content.united(label->geometry());
            }
    }
    const int logLeft = content.right() + 1 + kLogGap;
    const int bottom = std::max(content.bottom() + 1, kMinHeight);
    labels_.front()->setGeometry(logLeft, kMargin, kLogWidth, kHeadingHeight);
    logPanel_->setGeometry(logLeft, kMargin + kHeadingHeight, kLogWidth, bottom - kMargin - kHeadingHeight);
    labels_.front()->show();
    logPanel_->show();
    formWidget_->resize(logLeft + kLogWidth + kMargin, bottom + kMargin);
}

void QtBackend::formChanged(Form& form) { arrange(&form); }

void QtBackend::log(const std::string& line) {
    if (logPanel_) logPanel_->appendPlainText(QString::fromStdString(line));
}

void QtBackend::reportHandlerError(const HostError& e) {
    if (handlerError_) handlerError_(e);
}

void QtBackend::runUntilIdle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void QtBackend::advance(int64_t ms) {
    // Qt's timers count milliseconds in an int.
    if (ms > std::numeric_limits<int>::max())
        throwHostError(err::Overflow, "advance by " + std::to_string(ms) +
                                          " ms: real windows wait at most 2147483647 ms (24.8 days) at a time");
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

void QtBackend::postMouse(Mouse kind, const std::shared_ptr<Child>& target, int16_t button, float x, float y) {
    QWidget* w = widgetOf(*target);
    if (blockedByModal(w)) return;
    const QPoint at(int(std::floor(x / host_.twipsPerPixelX())), int(std::floor(y / host_.twipsPerPixelY())));
    const QPointer<QWidget> guard(w);
    const Qt::MouseButton b = qtButton(button);
    if (kind != Mouse::Up) sendMouse(QEvent::MouseButtonPress, w, at, b);
    if (kind != Mouse::Down && guard) sendMouse(QEvent::MouseButtonRelease, w, at, b);
}

// Keys go where the keyboard sends them: to the focus widget, which the
// target becomes first (an inner editor of it, where it has one).
void QtBackend::postKey(const std::shared_ptr<Child>& target, const std::string& key) {
    QWidget* w = widgetOf(*target);
    if (blockedByModal(w)) return;
    w->setFocus(Qt::OtherFocusReason);
    QWidget* focus = QApplication::focusWidget();
    QPointer<QWidget> receiver = focus && (focus == w || w->isAncestorOf(focus)) ? focus : w;
    const KeyStroke k = keyStroke(key);
    QKeyEvent down(QEvent::KeyPress, k.key, Qt::NoModifier, k.text);
    QApplication::sendEvent(receiver, &down);
    if (!receiver) return;
    QKeyEvent up(QEvent::KeyRelease, k.key, Qt::NoModifier, k.text);
    QApplication::sendEvent(receiver, &up);
}

void QtBackend::postActivateOtherWindow() {
    if (!formWidget_) throw HostError(err::InvalidProcedureCall, "the form has no window to activate");
    formWidget_->activateWindow();
}

void QtBackend::postActivateOtherApplication() { QApplication::setActiveWindow(nullptr); }

void QtBackend::dayClick(const std::shared_ptr<Child>& monthGrid, double date) {
    auto* grid = as<QtMonthGrid>(*monthGrid);
    if (!grid || !grid->grid()) throwHostError(err::TypeMismatch, monthGrid->displayName() + " is not a month grid");
    MonthGridWidget* w = grid->grid();
    if (blockedByModal(w)) return;
    const QRect day = w->dayRect(qDate(date));
    if (day.isEmpty())
        throw HostError(err::InvalidProcedureCall,
                        monthGrid->displayName() + " does not show " + formatDateCanonical(std::floor(date)));
    const QPointer<QWidget> guard(w);
    sendMouse(QEvent::MouseButtonPress, w, day.center(), Qt::LeftButton);
    if (guard) sendMouse(QEvent::MouseButtonRelease, w, day.center(), Qt::LeftButton);
}

// The arrow at the box's right end, as the user presses it.
void QtBackend::dropDown(const std::shared_ptr<Child>& dateBox) {
    auto* box = as<QtDateBox>(*dateBox);
    if (!box || !box->edit()) throwHostError(err::TypeMismatch, dateBox->displayName() + " is not a date box");
    QDateTimeEdit* e = box->edit();
    if (blockedByModal(e)) return;
    const QPoint arrow(e->width() - 4, e->height() / 2);
    const QPointer<QWidget> guard(e);
    sendMouse(QEvent::MouseButtonPress, e, arrow, Qt::LeftButton);
    if (guard) sendMouse(QEvent::MouseButtonRelease, e, arrow, Qt::LeftButton);
}

// A date the user picked: the editor takes it as the user's own edit.
void QtBackend::change(const std::shared_ptr<Child>& dateBox, double date) {
    auto* box = as<QtDateBox>(*dateBox);
    if (!box || !box->edit()) throwHostError(err::TypeMismatch, dateBox->displayName() + " is not a date box");
    if (blockedByModal(box->edit())) return;
    const DateParts p = splitDate(date);
    box->edit()->setDateTime(QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second)));
}

void QtBackend::screenshot(const std::string& path) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) throw HostError(err::InvalidProcedureCall, "there is no screen to take a picture of for " + path);
    runUntilIdle();
    QImage image;
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        // The window system draws on its own time: give it a moment.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 150) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        image = screen->grabWindow(0).toImage();
    }
    if (image.isNull()) image = composeScreen(*screen);
    // Written beside the target and renamed over it: never half a picture.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throwHostError(err::PathFileAccessError, "cannot write the picture " + path + ": " +
                                                 file.errorString().toStdString());
}

QtTreeView& QtBackend::treeView(Object& obj) {
    auto* view = as<QtTreeView>(obj);
    if (!view) throwHostError(err::TypeMismatch, obj.className() + " is not a tree view");
    if (!view->onBringIntoView)
        view->onBringIntoView = [this, name = view->instanceName()](const std::string& key) {
            host_.trace("ensurevisible " + name + "." + key);
        };
    return *view;
}

void QtBackend::addTreeNode(Control& tree, const std::string& key, const std::string& parentKey,
                            const std::string& text) {
    treeView(tree).addNode(key, parentKey, text);
}

void QtBackend::selectTreeNode(Control& tree, const std::string& key) { treeView(tree).select(key); }

ObjectRef QtBackend::treeNode(Object& tree, const std::string& key) { return treeView(tree).node(key); }

// The same lines as the headless tree's: two blanks a level, key, text, and
// + open, - closed, or a blank for a node without children.
std::string QtBackend::treeDump(Control& tree) {
    std::string out;
    for (QTreeWidgetItemIterator it(treeView(tree).treeWidget()); *it; ++it) {
        const QTreeWidgetItem* item = *it;
        int level = 0;
        for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent()) ++level;
        out.append(std::size_t(level) * 2, ' ');
        out += item->data(0, Qt::UserRole).toString().toStdString() + " " + item->text(0).toStdString() + " " +
               (item->childCount() == 0 ? ' ' : item->isExpanded() ? '+' : '-') + "\n";
    }
    return out;
}

std::vector<std::pair<std::string, int64_t>> QtBackend::takeTreeCallCounts(Control& tree) {
    throw HostError(err::InvalidProcedureCall,
                    "the Qt tree view " + tree.instanceName() + " does not count its calls (the headless one does)");
}

}  // namespace tavo
