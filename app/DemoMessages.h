// How the demo tells the user something: message boxes by default, a replaceable sink for tests
// and for runs without a screen.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace DemoMessages {

enum TMessageKind {
    mkInformation, // information box with one OK button
    mkPlain, // the platform's plain message window
    mkError, // an error that reached the event loop
};

using TMessageSink = std::function<void(TMessageKind kind, const QString& text)>;

// An empty sink restores the message boxes.
void SetSink(TMessageSink sink);
void Show(TMessageKind kind, const QString& text, QWidget* parent = nullptr);

// Runs `work`; an EOrvListViewError or other std::exception that escapes it is shown as an
// error and swallowed, so the window stays usable. True when nothing escaped.
bool Guarded(const std::function<void()>& work);

} // namespace DemoMessages
