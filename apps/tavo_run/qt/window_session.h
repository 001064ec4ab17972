#pragma once
// A form in a real window, as `tavo-run` shows it: the form (or the demo),
// the event log beside it that lists what the host sees as it happens, and
// Ctrl+S, which saves the form to its file.
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "apps/tavo_run/qt/qt_backend.h"
#include "apps/tavo_run/script_engine.h"

class QObject;

namespace tavo {

class WindowSession {
public:
    // Every line the engine prints goes to `out` and to the event log.
    WindowSession(QtHost& host, std::ostream& out, std::ostream& err);
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    // Opens the form file, or the demo when `formPath` is empty. Ctrl+S then
    // saves to that file, or to demo.frm in the current folder for the demo.
    void open(const std::string& formPath);
    // Saves the form (what Ctrl+S does); false when it could not, and the
    // event log says why.
    bool save();
    // Runs a script against the window (see ScriptEngine::run). While it
    // runs, message boxes are answered by the script (1, OK, unless it says
    // otherwise) instead of waiting for a person.
    int runScript(std::istream& script);
    const std::string& savePath() const { return savePath_; }

    ScriptEngine& engine() { return *engine_; }
    QtBackend& backend() { return backend_; }

private:
    // Passes text on to `out` and hands every whole line to the event log.
    class LogBuffer : public std::streambuf {
    public:
        LogBuffer(std::ostream& out, QtBackend& backend) : out_(out), backend_(backend) {}

    protected:
        int overflow(int c) override;
        int sync() override;

    private:
        std::ostream& out_;
        QtBackend& backend_;
        std::string line_;
    };

    void showTitle();

    QtBackend backend_;
    LogBuffer logBuffer_;
    std::ostream log_;
    std::unique_ptr<ScriptEngine> engine_;
    std::string savePath_;
    QObject* saveKey_ = nullptr;
};

}  // namespace tavo
