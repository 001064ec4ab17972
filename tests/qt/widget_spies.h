#pragma once
// What a test of a typed widget watches: every change signal of its own
// properties, counted, and the warnings of the widgets' logging category.
#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace tavo {

// Every change signal of the widget's own properties, counted.
class NotifySpies {
public:
    explicit NotifySpies(const QObject* widget) {
        const QMetaObject* meta = widget->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (p.hasNotifySignal()) spies_.push_back(std::make_unique<QSignalSpy>(widget, p.notifySignal()));
        }
    }
    int total() const {
        int n = 0;
        for (const auto& s : spies_) n += int(s->count());
        return n;
    }
    // The signals that came, for messages: "dateChanged x1 ...".
    std::string seen() const {
        std::string out;
        for (const auto& s : spies_)
            if (s->count()) out += s->signal().toStdString() + " x" + std::to_string(s->count()) + " ";
        return out;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> spies_;
};

// Messages of the widgets' logging category while it lives.
class WidgetWarnings {
public:
    WidgetWarnings() {
        current = this;
        previous = qInstallMessageHandler(handle);
    }
    ~WidgetWarnings() {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    std::vector<QString> lines;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (current && context.category && QLatin1String(context.category) == QLatin1String("tavo.widgets") &&
            type == QtWarningMsg)
            current->lines.push_back(message);
        else if (previous)
            previous(type, context, message);
    }
    static inline WidgetWarnings* current = nullptr;
    static inline QtMessageHandler previous = nullptr;
};

}  // namespace tavo
