// Every error class the control and its services raise, in one place. Each carries its message as
// the user should read it; what() holds the same text in UTF-8 for code that only knows
// std::exception.
#pragma once

#include <QString>
#include <stdexcept>
#include <string>

// The shared shape: a QString message kept next to its UTF-8 copy.
class TMessageError : public std::runtime_error {
public:
    explicit TMessageError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    { }
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// The list control's own error (files, clipboard, exports, printing set-up).
class EOrvListViewError : public TMessageError {
public:
    using TMessageError::TMessageError;
};

// The general failure of the word-processor export (deliberately not the list's own error class).
class EOfficeError : public TMessageError {
public:
    using TMessageError::TMessageError;
};

// Picture bytes that cannot be turned into an image.
class EPictureError : public TMessageError {
public:
    using TMessageError::TMessageError;
    explicit EPictureError(const std::string& message)
        : TMessageError(QString::fromStdString(message))
    { }
    explicit EPictureError(const char* message)
        : TMessageError(QString::fromUtf8(message))
    { }
};

// Any failure reported by an automation object (unknown member, bad argument, server error).
class EAutomationError : public TMessageError {
public:
    using TMessageError::TMessageError;
};

// No automation server is registered under the class name asked for.
class EOleServerNotFound : public EAutomationError {
public:
    using EAutomationError::EAutomationError;
};

// A failure of the printer service; the message is meant for the user.
class EPrinterError : public TMessageError {
public:
    using TMessageError::TMessageError;
};
