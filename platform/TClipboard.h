// TClipboard: the system clipboard as plain text.
#pragma once

#include <QString>

class TClipboard {
public:
    // The clipboard's plain text, up to the first NUL character (a text that producers terminate
    // with one must not carry it into the list). Empty when there is no text.
    static QString AsText();
    // Replaces the clipboard contents with `text`; an empty text is stored as an empty text.
    static void SetAsText(const QString& text);
    // True when the clipboard holds plain text (an empty text included).
    static bool HasText();
};
