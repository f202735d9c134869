// TPaintBox: a widget that only paints, through a callback given at construction.
#pragma once

#include <QWidget>
#include <functional>

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    TPaintBox(std::function<void(QWidget& box)> onPaint, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(QWidget& box)> m_onPaint;
};
