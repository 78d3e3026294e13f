#include "framework/display_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "framework/no_destructor.h"
#include "framework/open_terminals.h"

namespace fw {

namespace {

struct HeldMessage {
    QtMsgType type;
    // Qt's context holds pointers to static texts only.
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

struct MessageState {
    QtMessageHandler previous = nullptr;
    bool starting = false;
    std::vector<HeldMessage> held;
};

MessageState& Messages() {
    static NoDestructor<MessageState> state;
    return *state;
}

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// An environment value quoted for one line of stderr: control characters show as '?'.
std::string Quoted(const char* value) {
    std::string quoted = "\"";
    for (const char* c = value; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        quoted += byte < 0x20 || byte == 0x7F ? '?' : *c;
    }
    return quoted + "\"";
}

constexpr const char* kNoDisplay = "no display: set DISPLAY, or run under xvfb-run";
constexpr const char* kWhatToDo =
    ": set DISPLAY to a running X server you may use, or run under xvfb-run";

std::string DisplayFailure() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (IsSet(platform) && !std::string_view(platform).starts_with("xcb")) {
        return "zq8: cannot start the display platform " + Quoted(platform) +
               " named in QT_QPA_PLATFORM";
    }
    if (IsSet(display)) {
        return "zq8: cannot open the X display " + Quoted(display) + kWhatToDo;
    }
    if (IsSet(wayland)) {
        return "zq8: cannot open the Wayland display " + Quoted(wayland) + kWhatToDo;
    }
    return kNoDisplay;
}

void Pass(QtMessageHandler handler, QtMsgType type, const QMessageLogContext& context,
          const QString& text) {
    if (handler != nullptr) {
        handler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    MessageState& state = Messages();
    if (state.starting) {
        if (type == QtFatalMsg) {
            // Qt found no platform it could open and would abort next; nothing has been
            // touched yet, so the process can end here at once.
            std::fprintf(stderr, "%s\n", DisplayFailure().c_str());
            std::fflush(stderr);
            std::_Exit(2);
        }
        state.held.push_back(
            {type, context.file, context.line, context.function, context.category, text});
        return;
    }
    if (text.startsWith(QLatin1String("The X11 connection broke"))) {
        // Qt, or Xlib under it, ends the process with exit(1) after this message, from whichever
        // thread noticed the break, and Xlib adds lines of its own. Ending it here at once gives
        // one line, and no exit handler runs against a dead connection or other live threads.
        // Nothing is lost: every setting was written when it changed. The port alone needs a
        // word: it gets back the terminal settings it had before the panel opened it.
        GiveBackOpenTerminals();
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "zq8: lost the X display %s\n",
                     Quoted(display != nullptr ? display : "").c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    Pass(state.previous, type, context, text);
}

}  // namespace

void RequireDisplay() {
    if (IsSet(std::getenv("QT_QPA_PLATFORM"))) {
        return;
    }
    if (!IsSet(std::getenv("DISPLAY")) && !IsSet(std::getenv("WAYLAND_DISPLAY"))) {
        std::fprintf(stderr, "%s\n", kNoDisplay);
        std::exit(2);
    }
}

void HoldQtMessagesWhileStarting() {
    MessageState& state = Messages();
    state.starting = true;
    QtMessageHandler previous = qInstallMessageHandler(&OnQtMessage);
    if (previous != &OnQtMessage) {
        state.previous = previous;
    }
}

void ReleaseQtMessages() {
    MessageState& state = Messages();
    state.starting = false;
    std::vector<HeldMessage> held;
    held.swap(state.held);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(message.file, message.line, message.function,
                                         message.category);
        Pass(state.previous, message.type, context, message.text);
    }
}

}  // namespace fw
