// TSharedTextBlock: several texts written into one allocation, each handed out as an ordinary
// QString that shares it.
//
// A list row's cells are short and many; one block per row instead of one allocation per cell
// halves what a loaded cell costs and keeps a row's characters together in memory. The texts
// behave as any QString: copies share, and changing one text gives that text a buffer of its
// own (copy-on-write) while the others keep the block. The block is freed with its last text.
#pragma once

#include <QString>

class TSharedTextBlock {
public:
    // Room for `texts` texts of `units` UTF-16 code units in all. Nothing is allocated for none.
    TSharedTextBlock(qsizetype units, int texts);
    ~TSharedTextBlock(); // gives back the share of texts that were never taken
    TSharedTextBlock(const TSharedTextBlock&) = delete;
    TSharedTextBlock& operator=(const TSharedTextBlock&) = delete;

    // Where the next text is to be written; it may take the units not yet used.
    char16_t* Next() const { return m_next; }
    // The text of `length` units written at Next(). At most `texts` texts may be taken.
    QString Take(qsizetype length);

private:
    QTypedArrayData<char16_t>* m_header = nullptr;
    char16_t* m_next = nullptr;
    int m_texts = 0;
    int m_taken = 0;
};
