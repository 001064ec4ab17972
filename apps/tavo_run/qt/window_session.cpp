#include "apps/tavo_run/qt/window_session.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "backends/qt/event_hook.h"
#include "tavo/host/error.h"
#include "tavo/host/form_file.h"

namespace tavo {

namespace {

constexpr const char* kDemoFile = "demo.frm";

}  // namespace

int WindowSession::LogBuffer::overflow(int c) {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    out_.put(char(c));
    if (c == '\n') {
        backend_.log(line_);
        line_.clear();
    } else {
        line_ += char(c);
    }
    return c;
}

int WindowSession::LogBuffer::sync() {
    out_.flush();
    return 0;
}

WindowSession::WindowSession(QtHost& host, std::ostream& out, std::ostream& err)
    : backend_(host), logBuffer_(out, backend_), log_(&logBuffer_),
      engine_(std::make_unique<ScriptEngine>(backend_, log_, err)) {
    // The whole application's keys: Ctrl+S works whichever child has the focus.
    saveKey_ = new EventHook(qApp, [this](QObject* watched, QEvent* e) {
        if (e->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(e);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_S || key->modifiers() != Qt::ControlModifier || !widget ||
            widget->window() != backend_.formWidget())
            return false;
        save();
        return true;
    });
}

WindowSession::~WindowSession() {
    delete saveKey_;
    engine_.reset();
}

void WindowSession::open(const std::string& formPath) {
    if (formPath.empty()) {
        engine_->loadDemo();
        savePath_ = kDemoFile;
    } else {
        engine_->loadForm(formPath);
        savePath_ = formPath;
    }
    showTitle();
}

bool WindowSession::save() {
    try {
        engine_->saveForm(savePath_);
        engine_->form().setModified(false);
        log_ << "saved " << savePath_ << std::endl;
        showTitle();
        return true;
    } catch (const FormFileError& e) {
        log_ << "error " << err::PathFileAccessError << " save: " << e.what() << std::endl;
    } catch (const HostError& e) {
        log_ << "error " << e.number() << " save: " << e.what() << std::endl;
    } catch (const std::exception& e) {
        log_ << "error " << err::PathFileAccessError << " save: cannot write " << savePath_ << ": " << e.what()
             << std::endl;
    }
    return false;
}

int WindowSession::runScript(std::istream& script) {
    QtHost& host = static_cast<QtHost&>(backend_.host());
    host.msgBoxAnswer = 1;
    const int status = engine_->run(script);
    host.msgBoxAnswer.reset();
    return status;
}

void WindowSession::showTitle() {
    if (QWidget* w = backend_.formWidget())
        w->setWindowTitle(QString::fromStdString(engine_->form().name() + " \u2013 " + savePath_ +
                                                 " \u2013 tavo-run (Strg+S speichert)"));
}

}  // namespace tavo
