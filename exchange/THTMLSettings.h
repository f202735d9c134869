// THTMLSettings: table attributes and surrounding text of the list's HTML export.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

class THTMLSettings {
public:
    // Start values; the first four are also the stored defaults (not written to a stored
    // description while they hold them). The others have no stored default.
    static constexpr int DefaultBorderSize = 1;
    static constexpr int DefaultCellSpacing = 0;
    static constexpr bool DefaultSaveColor = true;
    static constexpr bool DefaultSaveFonts = true;
    static constexpr int DefaultWidth = 100; // percent

    int BorderSize() const { return m_borderSize; }
    void SetBorderSize(int value) { m_borderSize = value; }
    int CellSpacing() const { return m_cellSpacing; }
    void SetCellSpacing(int value) { m_cellSpacing = value; }
    bool SaveColor() const { return m_saveColor; }
    void SetSaveColor(bool value) { m_saveColor = value; }
    bool SaveFonts() const { return m_saveFonts; }
    void SetSaveFonts(bool value) { m_saveFonts = value; }
    QString FooterFile() const { return m_footerFile; }
    void SetFooterFile(const QString& value) { m_footerFile = value; }
    QString HeaderFile() const { return m_headerFile; }
    void SetHeaderFile(const QString& value) { m_headerFile = value; }
    QString TableStyle() const { return m_tableStyle; } // kept with the settings, not exported
    void SetTableStyle(const QString& value) { m_tableStyle = value; }
    QString PrefixTag() const { return m_prefixTag; }
    void SetPrefixTag(const QString& value) { m_prefixTag = value; }
    QString SuffixTag() const { return m_suffixTag; }
    void SetSuffixTag(const QString& value) { m_suffixTag = value; }
    int Width() const { return m_width; } // percent of the page
    void SetWidth(int value) { m_width = value; }

    void Assign(const THTMLSettings& other) { *this = other; }

    // The published properties in their published order, with the value each holds, leaving out
    // those that hold their stored default: what a stored description of the settings contains.
    QList<QPair<QString, QVariant>> StoredProperties() const;

private:
    int m_borderSize = DefaultBorderSize;
    int m_cellSpacing = DefaultCellSpacing;
    bool m_saveColor = DefaultSaveColor;
    bool m_saveFonts = DefaultSaveFonts;
    QString m_footerFile;
    QString m_headerFile;
    QString m_tableStyle;
    QString m_prefixTag;
    QString m_suffixTag;
    int m_width = DefaultWidth;
};
