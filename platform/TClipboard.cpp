#include "platform/TClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* Board()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                        : nullptr;
}

} // namespace

QString TClipboard::AsText()
{
    QClipboard* board = Board();
    if (!board)
        return QString();
    QString text = board->text();
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

void TClipboard::SetAsText(const QString& text)
{
    QClipboard* board = Board();
    if (!board)
        return;
    // Through mime data so that an empty text is still a text, not an empty clipboard.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), text.toUtf8());
    data->setText(text);
    board->setMimeData(data);
}

bool TClipboard::HasText()
{
    QClipboard* board = Board();
    if (!board)
        return false;
    const QMimeData* data = board->mimeData();
    return data && data->hasText();
}
