// TInPlaceEdit: the edit window of in-place label and cell editing. One line that scrolls
// sideways, or (multi-line style) text that wraps at the editor's width and may hold line breaks;
// the text sits at the top, centre or bottom of the editor as the cell shows it. Enter and Escape
// belong to the list that owns the editor: it ends the edit on them.
#pragma once

#include <QPlainTextEdit>
#include <QString>

class TInPlaceEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TInPlaceEdit(QWidget* parent = nullptr);

    // The edited text. Unless the user changed it, exactly the text that was set (line ends
    // included); changed multi-line text separates its lines with CR LF.
    QString Text() const;
    void SetText(const QString& text);

    bool MultiLine() const { return m_multiLine; }
    void SetMultiLine(bool multiLine);
    // Characters the user can type in all; 0 = no limit. A longer text that was set stays whole.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int characters);
    Qt::Alignment VerticalAlignment() const { return m_vAlign; }
    void SetVerticalAlignment(Qt::Alignment align); // Qt::AlignTop, AlignVCenter or AlignBottom

    // Pasting: a single line takes the pasted lines as one, joined by blanks.
    void insertFromMimeData(const QMimeData* source) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void EnforceLimit();
    void PlaceText();

    QString m_original; // the text as set
    QString m_shown; // the text as first shown (line ends as the editor keeps them)
    bool m_multiLine = false;
    int m_maxLength = 0;
    Qt::Alignment m_vAlign = Qt::AlignVCenter;
    bool m_limiting = false;
};
