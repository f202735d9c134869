// The list control's own error: message text only.
#pragma once

#include <QString>
#include <stdexcept>

class EOrvListViewError : public std::runtime_error {
public:
    explicit EOrvListViewError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    QString Message() const { return m_message; }

private:
    QString m_message;
};
