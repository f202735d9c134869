#include "exchange/THTMLSettings.h"

QList<QPair<QString, QVariant>> THTMLSettings::StoredProperties() const
{
    QList<QPair<QString, QVariant>> stored;
    if (m_borderSize != DefaultBorderSize)
        stored.append({ QStringLiteral("BorderSize"), m_borderSize });
    if (m_cellSpacing != DefaultCellSpacing)
        stored.append({ QStringLiteral("CellSpacing"), m_cellSpacing });
    if (m_saveColor != DefaultSaveColor)
        stored.append({ QStringLiteral("SaveColor"), m_saveColor });
    if (m_saveFonts != DefaultSaveFonts)
        stored.append({ QStringLiteral("SaveFonts"), m_saveFonts });
    // Strings are left out while empty (a description never holds an empty string); the width
    // has no stored default and is always written.
    const QPair<const char*, const QString*> strings[] = {
        { "FooterFile", &m_footerFile },
        { "HeaderFile", &m_headerFile },
        { "TableStyle", &m_tableStyle },
        { "PrefixTag", &m_prefixTag },
        { "SuffixTag", &m_suffixTag },
    };
    for (const auto& [name, value] : strings)
        if (!value->isEmpty())
            stored.append({ QString::fromLatin1(name), *value });
    stored.append({ QStringLiteral("Width"), m_width });
    return stored;
}
