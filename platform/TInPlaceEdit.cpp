#include "platform/TInPlaceEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString ToEditorLines(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

QString OneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    text.replace(QChar::LineSeparator, QLatin1Char(' '));
    return text;
}

} // namespace

TInPlaceEdit::TInPlaceEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    document()->setDocumentMargin(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        EnforceLimit();
        PlaceText();
    });
}

QString TInPlaceEdit::Text() const
{
    const QString plain = toPlainText();
    if (plain == m_shown)
        return m_original;
    QString text = plain;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void TInPlaceEdit::SetText(const QString& text)
{
    m_original = text;
    m_shown = ToEditorLines(text);
    m_limiting = true; // a text that is set may be longer than what the user can type
    setPlainText(m_shown);
    m_limiting = false;
    PlaceText();
}

void TInPlaceEdit::SetMultiLine(bool multiLine)
{
    m_multiLine = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    PlaceText();
}

void TInPlaceEdit::SetMaxLength(int characters)
{
    m_maxLength = std::max(0, characters);
}

void TInPlaceEdit::SetVerticalAlignment(Qt::Alignment align)
{
    m_vAlign = align & Qt::AlignVertical_Mask;
    PlaceText();
}

void TInPlaceEdit::EnforceLimit()
{
    if (m_limiting || m_maxLength <= 0)
        return;
    const int limit = std::max<int>(m_maxLength, int(m_shown.size()));
    const QString plain = toPlainText();
    if (plain.size() <= limit)
        return;
    // Keep what was there and as much of the new input as fits: drop the characters just
    // before the cursor, where the input went.
    QTextCursor cursor = textCursor();
    const int excess = int(plain.size()) - limit;
    const int end = cursor.position();
    const int start = std::max(0, end - excess);
    m_limiting = true;
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    // Input that was not just before the cursor (a replaced selection) is cut at the end.
    if (toPlainText().size() > limit) {
        cursor.movePosition(QTextCursor::End);
        cursor.setPosition(limit, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    setTextCursor(cursor);
    m_limiting = false;
}

void TInPlaceEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        // A line break only where lines are kept, and only on request: Enter itself ends the edit.
        if (m_multiLine && (event->modifiers() & Qt::ControlModifier))
            insertPlainText(QStringLiteral("\n"));
        else
            event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TInPlaceEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return;
    const QString text = source->text();
    insertPlainText(m_multiLine ? ToEditorLines(text) : OneLine(text));
}

void TInPlaceEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    PlaceText();
}

void TInPlaceEdit::PlaceText()
{
    // The document is laid out from the top; a margin above it puts short text where the cell
    // shows it. Text taller than the editor starts at the top and scrolls with the cursor.
    const int lineHeight = fontMetrics().lineSpacing();
    const int blocks = m_multiLine ? std::max(1, int(document()->size().height())) : 1;
    const int contentHeight = lineHeight * blocks + 2 * int(document()->documentMargin());
    const int available = contentsRect().height();
    int top = 0;
    if (contentHeight < available) {
        if (m_vAlign & Qt::AlignBottom)
            top = available - contentHeight;
        else if (m_vAlign & Qt::AlignVCenter)
            top = (available - contentHeight) / 2;
    }
    if (viewportMargins().top() != top)
        setViewportMargins(0, top, 0, 0);
}
