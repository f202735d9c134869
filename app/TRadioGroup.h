// TRadioGroup: a captioned group of radio buttons laid out in columns, with one selected item.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QRadioButton;

class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    int ItemIndex() const; // -1 when none is selected
    // Selecting by program does not raise OnClick, as a stored selection does not.
    void SetItemIndex(int index);
    int Count() const { return int(m_buttons.size()); }
    QRadioButton* Button(int index) const;

    // Raised when the user picks an item.
    std::function<void()> OnClick;

    // Room for the items in their columns below the title, inside the frame the style draws.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kItemIndent = 5; // pixels from the frame's inside to the first column
    int RowCount() const;
    QSize ItemSize() const; // the largest item's size hint

    std::vector<QRadioButton*> m_buttons;
    int m_columns = 1;
};
